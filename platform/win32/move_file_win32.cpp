// MoveFileExA with MOVEFILE_REPLACE_EXISTING: a rename within one volume,
// which NTFS and FAT make in one step.
#include "platform/move_file.h"

#include <windows.h>

namespace ovsetup::platform {

bool MoveFileOver(const std::string& from, const std::string& to) {
  return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

}  // namespace ovsetup::platform
