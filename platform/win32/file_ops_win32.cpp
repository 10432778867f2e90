// Folder searches and file copy/delete over the Win32 A calls.
#include "platform/file_ops.h"

#include <windows.h>
#include <aclapi.h>

#include <memory>

#include "platform/free_name.h"
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

// Reads `from` into the open `to` in pieces of kCopyPieceSize, each told to
// `pieces`, then gives `to` the source's time of last write.
bool CopyPiecewise(HANDLE from, HANDLE to, const CopyPieces& pieces) {
  const std::unique_ptr<char[]> buffer(new char[kCopyPieceSize]);
  for (DWORD got = 0;; pieces(got)) {
    DWORD put = 0;
    if (!ReadFile(from, buffer.get(), kCopyPieceSize, &got, nullptr)) return false;
    if (got == 0) break;
    if (!WriteFile(to, buffer.get(), got, &put, nullptr) || put != got) return false;
  }
  FILETIME written;
  return GetFileTime(from, nullptr, nullptr, &written) &&
         SetFileTime(to, nullptr, nullptr, &written);
}

// Copies `from` to the new file `to` (CREATE_NEW: never an existing name,
// a link included) in pieces of kCopyPieceSize, each told to `pieces`, with the
// source's attributes and time of last write; a failed copy is deleted.
// The copy in steps of its own: CopyFileExA's progress routine would do, but
// Wine never calls it, and the windows must answer there too.
bool CopyNew(const std::string& from, const std::string& to, const CopyPieces& pieces) {
  const DWORD attributes = GetFileAttributesA(from.c_str());
  FileHandle source(CreateFileA(from.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (source.h == INVALID_HANDLE_VALUE || attributes == INVALID_FILE_ATTRIBUTES) return false;
  bool copied = false;
  {
    FileHandle target(CreateFileA(to.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (target.h == INVALID_HANDLE_VALUE) return false;
    copied = CopyPiecewise(source.h, target.h, pieces);
  }
  if (copied && SetFileAttributesA(to.c_str(), attributes)) return true;
  const DWORD error = GetLastError();  // as CopyFile, leave no partial copy behind
  DeleteFileA(to.c_str());
  SetLastError(error);
  return false;
}

}  // namespace

bool CopyOneFile(const std::string& from, const std::string& to, bool fail_if_exists,
                 const CopyPieces& pieces) {
  // CopyFileA with bFailIfExists creates its target new: an existing name,
  // a link included, makes it fail rather than be written through.
  const auto create = [&from, &pieces](const std::string& path) {
    return pieces ? CopyNew(from, path, pieces) : CopyFileA(from.c_str(), path.c_str(), TRUE) != 0;
  };
  if (fail_if_exists) return create(to);
  const DWORD attributes = GetFileAttributesA(to.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES &&
      (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0 &&
      (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
    SetLastError(ERROR_ACCESS_DENIED);
    return false;
  }
  std::string made = to + ".new";
  if (!UnderFreeName(&made, 4, create)) return false;
  if (MoveFileExA(made.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    return true;
  const DWORD error = GetLastError();
  DeleteFileA(made.c_str());
  SetLastError(error);
  return false;
}

bool IsSingleNamedFile(const std::string& path) {
  // The name itself, not what a link there leads to; no access asked.
  const FileHandle file(CreateFileA(path.c_str(), 0,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING,
                                    FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT,
                                    nullptr));
  BY_HANDLE_FILE_INFORMATION info;
  return file.h != INVALID_HANDLE_VALUE && GetFileInformationByHandle(file.h, &info) &&
         (info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) == 0 &&
         info.nNumberOfLinks == 1;
}

bool DeleteOneFile(const std::string& path) { return DeleteFileA(path.c_str()) != 0; }

bool IsLink(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(WithoutTrailingSlash(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

namespace {

// Administrators, SYSTEM and TrustedInstaller: the accounts whose links an
// elevated setup may follow. Owns its three SIDs.
class TrustedAccounts : NonCopyable {
 public:
  TrustedAccounts() {
    SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
    AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0,
                             0, 0, 0, 0, &sids_[0]);
    AllocateAndInitializeSid(&nt, 1, SECURITY_LOCAL_SYSTEM_RID, 0, 0, 0, 0, 0, 0, 0, &sids_[1]);
    AllocateAndInitializeSid(&nt, 6, 80, 956008885u, 3418522649u, 1831038044u, 1853292631u,
                             2271478464u, 0, 0, &sids_[2]);
  }
  ~TrustedAccounts() {
    for (PSID sid : sids_)
      if (sid != nullptr) FreeSid(sid);
  }
  bool Holds(PSID sid) const {
    for (PSID trusted : sids_)
      if (sid != nullptr && trusted != nullptr && EqualSid(sid, trusted)) return true;
    return false;
  }

 private:
  PSID sids_[3] = {};
};

// Rights that change a link or what it says.
constexpr DWORD kChangeRights = GENERIC_ALL | GENERIC_WRITE | WRITE_DAC | WRITE_OWNER | DELETE |
                                FILE_WRITE_DATA | FILE_APPEND_DATA | FILE_WRITE_ATTRIBUTES |
                                FILE_WRITE_EA;

}  // namespace

bool IsTrustedLink(const std::string& path) {
  if (!IsLink(path)) return false;
  PSID owner = nullptr;
  PACL dacl = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  {
    const FileHandle link(CreateFileA(WithoutTrailingSlash(path).c_str(), READ_CONTROL,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING,
                                      FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT,
                                      nullptr));
    if (link.h == INVALID_HANDLE_VALUE ||
        GetSecurityInfo(link.h, SE_FILE_OBJECT,
                        OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, &owner, nullptr,
                        &dacl, nullptr, &descriptor) != ERROR_SUCCESS)
      return false;
  }
  const TrustedAccounts trusted;
  // A missing access list lets everyone change the link.
  bool ok = trusted.Holds(owner) && dacl != nullptr;
  for (DWORD i = 0; ok && i < dacl->AceCount; ++i) {
    void* ace = nullptr;
    if (!GetAce(dacl, i, &ace)) ok = false;
    const ACE_HEADER* header = static_cast<const ACE_HEADER*>(ace);
    if (!ok || header->AceType != ACCESS_ALLOWED_ACE_TYPE || (header->AceFlags & INHERIT_ONLY_ACE))
      continue;
    const ACCESS_ALLOWED_ACE* allowed = static_cast<const ACCESS_ALLOWED_ACE*>(ace);
    if ((allowed->Mask & kChangeRights) != 0 &&
        !trusted.Holds(const_cast<DWORD*>(&allowed->SidStart)))
      ok = false;
  }
  LocalFree(descriptor);
  return ok;
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
  const FileHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file.h != INVALID_HANDLE_VALUE) return true;
  const DWORD error = GetLastError();
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

bool GetFreeBytes(const std::string& folder, std::uint64_t* bytes) {
  ULARGE_INTEGER available;
  if (!GetDiskFreeSpaceExA(folder.c_str(), &available, nullptr, nullptr)) return false;
  *bytes = available.QuadPart;
  return true;
}

HeldFolder::~HeldFolder() {
  if (handle_ != -1) CloseHandle(reinterpret_cast<HANDLE>(handle_));
}

bool HeldFolder::Open(const std::string& path) {
  if (handle_ != -1) CloseHandle(reinterpret_cast<HANDLE>(handle_));
  handle_ = -1;
  path_ = WithTrailingSlash(path);
  // The folder itself (FILE_FLAG_OPEN_REPARSE_POINT: a junction or link is
  // opened as what it is, and refused below), shared for reading and
  // writing but not for deletion: while held it cannot be renamed, removed
  // or replaced by a link, and neither can a folder above it.
  HANDLE h = CreateFileA(WithoutTrailingSlash(path).c_str(),
                         FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES,
                         FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                         FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  BY_HANDLE_FILE_INFORMATION info;
  if (!GetFileInformationByHandle(h, &info) ||
      (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 ||
      (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
    CloseHandle(h);
    return false;
  }
  handle_ = reinterpret_cast<std::intptr_t>(h);
  return true;
}

bool HeldFolder::DeleteFileIn(const std::string& name) {
  // The held folder keeps its name, so its path still leads to it.
  return handle_ != -1 && name.find('\\') == std::string::npos &&
         DeleteFileA((path_ + name).c_str()) != 0;
}

std::uint32_t UnforeseenBits() {
  // RtlGenRandom (advapi32's SystemFunction036, Windows XP), looked up so
  // that no import names it.
  typedef BOOLEAN(WINAPI * GenRandomFn)(PVOID, ULONG);
  const HMODULE advapi32 = GetModuleHandleW(L"advapi32.dll");
  const auto gen_random =
      advapi32 ? reinterpret_cast<GenRandomFn>(
                     reinterpret_cast<void*>(GetProcAddress(advapi32, "SystemFunction036")))
               : nullptr;
  std::uint32_t bits = 0;
  if (gen_random != nullptr && gen_random(&bits, sizeof bits)) return bits;
  return GetCurrentProcessId() * 2654435761u ^ GetTickCount();
}

bool MakeHardLink(const std::string& file, const std::string& link) {
  return CreateHardLinkA(link.c_str(), file.c_str(), nullptr) != 0;
}

}  // namespace ovsetup::platform
