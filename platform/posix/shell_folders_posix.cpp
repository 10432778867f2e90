#include "platform/shell_folders.h"

#include <cstdlib>

#include "platform/posix/host_path.h"

namespace ovsetup::platform {

bool GetShellFolder(ShellFolder which, std::string* path) {
  const char* dir = std::getenv(which == ShellFolder::kDesktop ? "OVSETUP_DESKTOP" : "OVSETUP_PROGRAMS");
  if (dir == nullptr || *dir == '\0') return false;
  *path = FromHostPath(dir);
  return true;
}

}  // namespace ovsetup::platform
