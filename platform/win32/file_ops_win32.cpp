// Folder searches and file copy/delete over the Win32 A calls.
#include "platform/file_ops.h"

#include <windows.h>

#include <utility>

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

// CopyFileExA's progress routine: tells the pieces what is new since the last
// call; the copy goes on.
DWORD CALLBACK OnCopyPiece(LARGE_INTEGER /*total*/, LARGE_INTEGER transferred,
                           LARGE_INTEGER /*stream_total*/, LARGE_INTEGER /*stream_transferred*/,
                           DWORD /*stream*/, DWORD /*reason*/, HANDLE /*from*/, HANDLE /*to*/,
                           LPVOID data) {
  auto* state = static_cast<std::pair<const CopyPieces*, std::uint64_t>*>(data);
  const std::uint64_t now = static_cast<std::uint64_t>(transferred.QuadPart);
  if (now > state->second) (*state->first)(now - state->second);
  state->second = now;
  return PROGRESS_CONTINUE;
}

}  // namespace

bool CopyOneFile(const std::string& from, const std::string& to, bool fail_if_exists,
                 const CopyPieces& pieces) {
  std::pair<const CopyPieces*, std::uint64_t> state(&pieces, 0);
  return CopyFileExA(from.c_str(), to.c_str(), pieces ? OnCopyPiece : nullptr, &state, nullptr,
                     fail_if_exists ? COPY_FILE_FAIL_IF_EXISTS : 0) != 0;
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
