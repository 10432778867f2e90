// Linux stand-in: rename(2), refusing what MoveFileEx refuses (a folder or a
// read-only file at the new name).
#include "platform/move_file.h"

#include <cstdio>
#include <sys/stat.h>

#include "platform/posix/host_path.h"

namespace ovsetup::platform {

bool MoveFileOver(const std::string& from, const std::string& to) {
  const std::string host_to = ToHostPath(to);
  struct stat st;
  if (::lstat(host_to.c_str(), &st) == 0 && (S_ISDIR(st.st_mode) || (st.st_mode & S_IWUSR) == 0))
    return false;
  return std::rename(ToHostPath(from).c_str(), host_to.c_str()) == 0;
}

}  // namespace ovsetup::platform
