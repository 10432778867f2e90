// The Linux stand-in hands the core paths in Windows form ("\" separators);
// these two convert at the file-system boundary.
#pragma once

#include <string>

namespace ovsetup::platform {

// "\" -> "/" for a call into the host file system.
inline std::string ToHostPath(std::string path) {
  for (char& c : path)
    if (c == '\\') c = '/';
  return path;
}

// "/" -> "\" for a path handed to the core.
inline std::string FromHostPath(std::string path) {
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}

}  // namespace ovsetup::platform
