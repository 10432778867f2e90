// The text rules of paths in the core's form ("\" separators), in one place.
#pragma once

#include <string>

namespace ovsetup::platform {

// `path` with "\" appended unless it already ends with one ("" gives "\").
inline std::string WithTrailingSlash(std::string path) {
  if (path.empty() || path.back() != '\\') path += '\\';
  return path;
}

// The folder of `path`: everything up to and including its last "\" ("" when
// it has none).
inline std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('\\');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

}  // namespace ovsetup::platform
