// The text rules of paths in the core's form ("\" separators), in one place.
#pragma once

#include <string>

namespace ovsetup::platform {

// True when `c` starts a double-byte character of the system's ANSI code
// page (IsDBCSLeadByte; the Linux stand-in takes the code page from
// OVSETUP_CODEPAGE, 936 when unset). Its trail byte may be "\".
bool IsCodePageLeadByte(char c);

// True when `c` starts a double-byte character of code page `code_page`
// (932, 936, 949, 950; none in any other).
constexpr bool IsLeadByteOf(unsigned code_page, char c) {
  const unsigned char b = static_cast<unsigned char>(c);
  if (code_page == 932) return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
  if (code_page == 936 || code_page == 949 || code_page == 950) return b >= 0x81 && b <= 0xFE;
  return false;
}

// Where the last "\" character of `path` is, reading it as characters of the
// system's code page from its start (a trail byte 0x5C is no "\", as
// _mbsrchr reads it); npos when it has none.
inline std::size_t LastSlash(const std::string& path) {
  std::size_t last = std::string::npos;
  for (std::size_t i = 0; i < path.size(); ++i) {
    if (path[i] == '\\') last = i;
    else if (IsCodePageLeadByte(path[i]) && i + 1 < path.size()) ++i;
  }
  return last;
}

// True when the last character of `path` is "\" (as LastSlash reads it).
inline bool EndsWithSlash(const std::string& path) {
  return !path.empty() && LastSlash(path) == path.size() - 1;
}

// `path` with "\" appended unless it already ends with one ("" gives "\").
inline std::string WithTrailingSlash(std::string path) {
  if (!EndsWithSlash(path)) path += '\\';
  return path;
}

// `path` without one trailing "\", so that it names the entry itself (a link
// rather than what it leads to). A root ("\", "C:\") keeps its "\".
inline std::string WithoutTrailingSlash(std::string path) {
  const std::size_t n = path.size();
  if (n >= 2 && EndsWithSlash(path) && path[n - 2] != ':') path.pop_back();
  return path;
}

// The folder of `path`: everything up to and including its last "\" ("" when
// it has none).
inline std::string FolderOf(const std::string& path) {
  const std::size_t slash = LastSlash(path);
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
