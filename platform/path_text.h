// The text rules of paths in the core's form ("\" separators), in one place.
#pragma once

#include <string>

namespace ovsetup::platform {

// `path` with "\" appended unless it already ends with one ("" gives "\").
inline std::string WithTrailingSlash(std::string path) {
  if (path.empty() || path.back() != '\\') path += '\\';
  return path;
}

// `path` without one trailing "\", so that it names the entry itself (a link
// rather than what it leads to). A root ("\", "C:\") keeps its "\".
inline std::string WithoutTrailingSlash(std::string path) {
  const std::size_t n = path.size();
  if (n >= 2 && path[n - 1] == '\\' && path[n - 2] != ':') path.pop_back();
  return path;
}

// The folder of `path`: everything up to and including its last "\" ("" when
// it has none).
inline std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('\\');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

}  // namespace ovsetup::platform
