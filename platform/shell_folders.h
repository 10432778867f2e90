// The current user's shell folders the program install puts shortcuts in.
// On Linux they come from OVSETUP_DESKTOP and OVSETUP_PROGRAMS.
#pragma once

#include <string>

namespace ovsetup::platform {

enum class ShellFolder {
  kDesktop,   // CSIDL_DESKTOP (0)
  kPrograms,  // CSIDL_PROGRAMS (2): the program menu
};

// The folder's path (up to 260 bytes, no trailing "\"); false when the
// lookup fails.
bool GetShellFolder(ShellFolder which, std::string* path);

}  // namespace ovsetup::platform
