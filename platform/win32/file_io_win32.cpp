// File seam over the Win32 A calls: paths are bytes of the ANSI code page.
#include "platform/file_io.h"

#include <windows.h>
#include <shlobj.h>

#include "platform/setup_file.h"

namespace ovsetup::platform {
namespace {

// INVALID_HANDLE_VALUE is (HANDLE)-1, so -1 stands for "no handle" throughout.
HANDLE AsHandle(std::intptr_t h) { return reinterpret_cast<HANDLE>(h); }
// ReadFile/WriteFile take a DWORD count; larger transfers go in pieces.
const std::size_t kMaxChunk = 0x40000000;

// Runs ReadFile or WriteFile until `size` bytes moved; false on an error or
// when nothing moves (end of file).
template <typename Op, typename Ptr>
bool TransferAll(Op op, std::intptr_t handle, Ptr at, std::size_t size) {
  if (handle == -1) return false;
  while (size > 0) {
    const DWORD want = static_cast<DWORD>(size < kMaxChunk ? size : kMaxChunk);
    DWORD done = 0;
    if (!op(AsHandle(handle), at, want, &done, nullptr) || done == 0) return false;
    at += done;
    size -= done;
  }
  return true;
}

}  // namespace

InputFile::~InputFile() {
  if (handle_ != -1) CloseHandle(AsHandle(handle_));
}

bool InputFile::Open(const std::string& path) {
  if (handle_ != -1) CloseHandle(AsHandle(handle_));
  HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  handle_ = h == INVALID_HANDLE_VALUE ? -1 : reinterpret_cast<std::intptr_t>(h);
  return handle_ != -1;
}

bool InputFile::Open(const SetupFile& setup) {
  if (handle_ != -1) CloseHandle(AsHandle(handle_));
  HANDLE copy = nullptr;
  handle_ = setup.is_open() && DuplicateHandle(GetCurrentProcess(), AsHandle(setup.handle()),
                                               GetCurrentProcess(), &copy, 0, FALSE,
                                               DUPLICATE_SAME_ACCESS)
                ? reinterpret_cast<std::intptr_t>(copy)
                : -1;
  return handle_ != -1;
}

bool InputFile::Length(std::uint64_t* length) const {
  LARGE_INTEGER size;
  if (handle_ == -1 || !GetFileSizeEx(AsHandle(handle_), &size)) return false;
  *length = static_cast<std::uint64_t>(size.QuadPart);
  return true;
}

bool InputFile::Seek(std::uint64_t position) {
  LARGE_INTEGER to;
  to.QuadPart = static_cast<LONGLONG>(position);
  return handle_ != -1 && SetFilePointerEx(AsHandle(handle_), to, nullptr, FILE_BEGIN);
}

bool InputFile::Read(void* buffer, std::size_t size) {
  return TransferAll(ReadFile, handle_, static_cast<char*>(buffer), size);
}

OutputFile::~OutputFile() { Close(); }

bool OutputFile::Create(const std::string& path) {
  Close();
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  handle_ = h == INVALID_HANDLE_VALUE ? -1 : reinterpret_cast<std::intptr_t>(h);
  return handle_ != -1;
}

bool OutputFile::CreateNew(const std::string& path) {
  Close();
  // CREATE_NEW fails on any existing name, a link included; the flag keeps
  // a link from being followed all the same.
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                         FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  handle_ = h == INVALID_HANDLE_VALUE ? -1 : reinterpret_cast<std::intptr_t>(h);
  return handle_ != -1;
}

bool OutputFile::Write(const void* buffer, std::size_t size) {
  return TransferAll(WriteFile, handle_, static_cast<const char*>(buffer), size);
}

bool OutputFile::Flush() { return handle_ != -1 && FlushFileBuffers(AsHandle(handle_)) != 0; }

bool OutputFile::Close() {
  if (handle_ == -1) return true;
  bool ok = CloseHandle(AsHandle(handle_)) != 0;
  handle_ = -1;
  return ok;
}

bool CreateOneFolder(const std::string& path) { return CreateDirectoryA(path.c_str(), nullptr) != 0; }

void RemoveOneFolder(const std::string& path) { (void)RemoveDirectoryA(path.c_str()); }

bool GetWindowsFolder(std::string* folder) {
  char buffer[MAX_PATH] = {};
  if (!SHGetSpecialFolderPathA(nullptr, buffer, CSIDL_WINDOWS, FALSE)) return false;
  *folder = buffer;
  return true;
}

}  // namespace ovsetup::platform
