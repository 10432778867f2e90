// File seam over the Win32 A calls: paths are bytes of the ANSI code page.
#include "platform/file_io.h"

#include <windows.h>
#include <shlobj.h>

namespace ovsetup::platform {
namespace {

// INVALID_HANDLE_VALUE is (HANDLE)-1, so -1 stands for "no handle" throughout.
HANDLE AsHandle(std::intptr_t h) { return reinterpret_cast<HANDLE>(h); }
// ReadFile/WriteFile take a DWORD count; larger transfers go in pieces.
const std::size_t kMaxChunk = 0x40000000;

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
  if (handle_ == -1) return false;
  char* at = static_cast<char*>(buffer);
  while (size > 0) {
    DWORD want = static_cast<DWORD>(size < kMaxChunk ? size : kMaxChunk);
    DWORD got = 0;
    if (!ReadFile(AsHandle(handle_), at, want, &got, nullptr) || got == 0) return false;
    at += got;
    size -= got;
  }
  return true;
}

OutputFile::~OutputFile() { Close(); }

bool OutputFile::Create(const std::string& path) {
  Close();
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  handle_ = h == INVALID_HANDLE_VALUE ? -1 : reinterpret_cast<std::intptr_t>(h);
  return handle_ != -1;
}

bool OutputFile::Write(const void* buffer, std::size_t size) {
  if (handle_ == -1) return false;
  const char* at = static_cast<const char*>(buffer);
  while (size > 0) {
    DWORD want = static_cast<DWORD>(size < kMaxChunk ? size : kMaxChunk);
    DWORD put = 0;
    if (!WriteFile(AsHandle(handle_), at, want, &put, nullptr) || put == 0) return false;
    at += put;
    size -= put;
  }
  return true;
}

bool OutputFile::Close() {
  if (handle_ == -1) return true;
  bool ok = CloseHandle(AsHandle(handle_)) != 0;
  handle_ = -1;
  return ok;
}

void CreateOneFolder(const std::string& path) { (void)CreateDirectoryA(path.c_str(), nullptr); }

void RemoveOneFolder(const std::string& path) { (void)RemoveDirectoryA(path.c_str()); }

bool GetWindowsFolder(std::string* folder) {
  char buffer[MAX_PATH] = {};
  if (!SHGetSpecialFolderPathA(nullptr, buffer, CSIDL_WINDOWS, FALSE)) return false;
  *folder = buffer;
  return true;
}

void KeepFreedMemoryForReuse() {}

}  // namespace ovsetup::platform
