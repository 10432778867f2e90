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

// The volume `path` lies on as a user names it: "D:" for "D:\Apps\",
// "\\server\share" for a network path, else `path` without a trailing "\".
inline std::string VolumeName(const std::string& path) {
  if (path.size() >= 2 && path[1] == ':') return path.substr(0, 2);
  if (path.compare(0, 2, "\\\\") == 0) {
    const std::size_t share = path.find('\\', 2);
    const std::size_t end = share == std::string::npos ? share : path.find('\\', share + 1);
    return path.substr(0, end);
  }
  return WithoutTrailingSlash(path);
}

}  // namespace ovsetup::platform
