#include "platform/shell_folders.h"

#include <windows.h>
#include <shlobj.h>

namespace ovsetup::platform {

bool GetShellFolder(ShellFolder which, std::string* path) {
  char buffer[MAX_PATH] = {};
  const int csidl = which == ShellFolder::kDesktop ? CSIDL_DESKTOP : CSIDL_PROGRAMS;
  if (!SHGetSpecialFolderPathA(nullptr, buffer, csidl, FALSE)) return false;
  *path = buffer;
  return true;
}

}  // namespace ovsetup::platform
