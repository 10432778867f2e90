// The setup's own file: opened once through its wide path, sharing reads
// only, so that nobody can rename, replace or write it while the setup runs.
#include "platform/setup_file.h"

#include <windows.h>

namespace ovsetup::platform {
namespace {

// `wide` in the ANSI code page, when every character has an exact form
// there: a best-fit stand-in (a fullwidth "\" for "\" in code page 1252)
// could name another file or folder.
bool ExactAnsi(const std::wstring& wide, std::string* ansi) {
  const int length = static_cast<int>(wide.size());
  BOOL used_default = FALSE;
  const int size = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), length, nullptr,
                                       0, nullptr, &used_default);
  if (size <= 0 || used_default) return false;
  ansi->assign(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), length, &(*ansi)[0], size,
                      nullptr, &used_default);
  return !used_default;
}

std::intptr_t HandleValue(HANDLE h) {
  return h == INVALID_HANDLE_VALUE ? -1 : reinterpret_cast<std::intptr_t>(h);
}

}  // namespace

SetupFile::~SetupFile() {
  if (handle_ != -1) CloseHandle(reinterpret_cast<HANDLE>(handle_));
}

bool SetupFile::Open(const std::string& path) {
  if (handle_ != -1) CloseHandle(reinterpret_cast<HANDLE>(handle_));
  path_ = path;
  handle_ = HandleValue(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  return handle_ != -1;
}

OwnFileOpen OpenRunningSetup(SetupFile* file) {
  wchar_t wide[MAX_PATH + 1] = {};
  const DWORD length = GetModuleFileNameW(nullptr, wide, MAX_PATH + 1);
  std::string ansi;
  if (length == 0 || length > MAX_PATH || !ExactAnsi(std::wstring(wide, length), &ansi))
    return OwnFileOpen::kUnnameable;
  if (file->handle_ != -1) CloseHandle(reinterpret_cast<HANDLE>(file->handle_));
  file->path_ = ansi;
  // The wide path is the file Windows started; the ANSI one names the same
  // file, exactly, and is what the setup folder is cut from.
  file->handle_ = HandleValue(CreateFileW(wide, GENERIC_READ, FILE_SHARE_READ, nullptr,
                                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  return file->handle_ != -1 ? OwnFileOpen::kOpen : OwnFileOpen::kCannotOpen;
}

}  // namespace ovsetup::platform
