// Conversion between code pages for texts and names that cross the byte
// boundary (UTF-8 on Linux and in tool output, GBK in payloads and INI files).
#pragma once

#include <string>

namespace ovsetup::platform {

constexpr unsigned kCodePageGbk = 936;
constexpr unsigned kCodePageUtf8 = 65001;

// Converts `text` from code page `from` to code page `to` (Windows numbers;
// 65001 is UTF-8). False, with `out` unspecified, when a byte sequence is
// invalid in `from` or a character has no exact form in `to`.
bool ConvertCodePage(const std::string& text, unsigned from, unsigned to, std::string* out);

// A path given on a command line or by the environment, in the core's form
// ("\" separators). On Linux "/" becomes "\"; on Windows it is unchanged.
std::string PathFromHost(const std::string& path);

}  // namespace ovsetup::platform
