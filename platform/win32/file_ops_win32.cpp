// Folder searches and file copy/delete over the Win32 A calls.
#include "platform/file_ops.h"

#include <windows.h>

#include <memory>

#include "platform/path_text.h"

namespace ovsetup::platform {

struct FileSearch::State {
  HANDLE handle = INVALID_HANDLE_VALUE;
};

namespace {

void Fill(const WIN32_FIND_DATAA& data, FoundEntry* entry) {
  entry->name = data.cFileName;
  entry->is_folder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  entry->size = static_cast<std::uint64_t>(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
}

}  // namespace

FileSearch::FileSearch() : state_(new State) {}

FileSearch::~FileSearch() {
  if (state_->handle != INVALID_HANDLE_VALUE) FindClose(state_->handle);
}

bool FileSearch::First(const std::string& pattern, FoundEntry* entry) {
  if (state_->handle != INVALID_HANDLE_VALUE) FindClose(state_->handle);
  WIN32_FIND_DATAA data;
  state_->handle = FindFirstFileA(pattern.c_str(), &data);
  if (state_->handle == INVALID_HANDLE_VALUE) return false;
  Fill(data, entry);
  return true;
}

bool FileSearch::Next(FoundEntry* entry) {
  WIN32_FIND_DATAA data;
  if (state_->handle == INVALID_HANDLE_VALUE || !FindNextFileA(state_->handle, &data)) return false;
  Fill(data, entry);
  return true;
}

bool CopyOneFile(const std::string& from, const std::string& to, bool fail_if_exists) {
  return CopyFileA(from.c_str(), to.c_str(), fail_if_exists ? TRUE : FALSE) != 0;
}

namespace {

// Owns a file handle; INVALID_HANDLE_VALUE when none.
struct FileHandle {
  HANDLE h;
  explicit FileHandle(HANDLE handle) : h(handle) {}
  ~FileHandle() {
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
  }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
};

// Reads `from` into the open `to` in 512000-byte pieces, each told to
// `pieces`, then gives `to` the source's time of last write.
bool CopyPiecewise(HANDLE from, HANDLE to, const CopyPieces& pieces) {
  constexpr DWORD kPiece = 512000;
  const std::unique_ptr<char[]> buffer(new char[kPiece]);
  for (DWORD got = 0;; pieces(got)) {
    DWORD put = 0;
    if (!ReadFile(from, buffer.get(), kPiece, &got, nullptr)) return false;
    if (got == 0) break;
    if (!WriteFile(to, buffer.get(), got, &put, nullptr) || put != got) return false;
  }
  FILETIME written;
  return GetFileTime(from, nullptr, nullptr, &written) &&
         SetFileTime(to, nullptr, nullptr, &written);
}

}  // namespace

// The copy in steps of its own: CopyFileExA's progress routine would do, but
// Wine never calls it, and the windows must answer there too.
bool CopyOneFile(const std::string& from, const std::string& to, bool fail_if_exists,
                 const CopyPieces& pieces) {
  if (!pieces) return CopyOneFile(from, to, fail_if_exists);
  const DWORD attributes = GetFileAttributesA(from.c_str());
  FileHandle source(CreateFileA(from.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (source.h == INVALID_HANDLE_VALUE || attributes == INVALID_FILE_ATTRIBUTES) return false;
  bool copied = false;
  {
    FileHandle target(CreateFileA(to.c_str(), GENERIC_WRITE, 0, nullptr,
                                  fail_if_exists ? CREATE_NEW : CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (target.h == INVALID_HANDLE_VALUE) return false;
    copied = CopyPiecewise(source.h, target.h, pieces);
  }
  if (copied && SetFileAttributesA(to.c_str(), attributes)) return true;
  const DWORD error = GetLastError();  // as CopyFile, leave no partial copy behind
  DeleteFileA(to.c_str());
  SetLastError(error);
  return false;
}

bool DeleteOneFile(const std::string& path) { return DeleteFileA(path.c_str()) != 0; }

bool IsLink(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(WithoutTrailingSlash(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

bool RemoveLink(const std::string& path) {
  const std::string link = WithoutTrailingSlash(path);
  const DWORD attributes = GetFileAttributesA(link.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0)
    return false;
  // Removing a junction or folder link as a folder takes the link alone,
  // however full its target is.
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return RemoveDirectoryA(link.c_str()) != 0;
  return DeleteFileA(link.c_str()) != 0;
}

std::uint32_t LastFileError() { return GetLastError(); }

bool RenameReplacing(const std::string& from, const std::string& to) {
  return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) !=
         0;
}

bool CanReplaceFile(const std::string& path) {
  // No sharing at all: any other open of the file, and a mapped image (a
  // loaded DLL, a running program), makes this fail.
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
  }
  CloseHandle(h);
  return true;
}

bool GetFreeBytes(const std::string& folder, std::uint64_t* bytes) {
  ULARGE_INTEGER available;
  if (!GetDiskFreeSpaceExA(folder.c_str(), &available, nullptr, nullptr)) return false;
  *bytes = available.QuadPart;
  return true;
}

bool MakeHardLink(const std::string& file, const std::string& link) {
  return CreateHardLinkA(link.c_str(), file.c_str(), nullptr) != 0;
}

}  // namespace ovsetup::platform
