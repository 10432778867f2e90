#include "tools/headless/headless_text.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "platform/text_codec.h"

namespace ovsetup::headless {
namespace {

bool IsAbsolute(const std::string& path) {
#ifdef _WIN32
  const bool drive = path.size() >= 3 && path[1] == ':' && (path[2] == '\\' || path[2] == '/');
  return drive || path.compare(0, 2, "\\\\") == 0;
#else
  return !path.empty() && path[0] == '/';
#endif
}

}  // namespace

std::string Utf8FromGbk(const std::string& text) {
  std::string utf8;
  if (platform::ConvertCodePage(text, platform::kCodePageGbk, platform::kCodePageUtf8, &utf8))
    return utf8;
  utf8.clear();
  for (unsigned char c : text) {
    char hex[8];
    std::snprintf(hex, sizeof hex, "\\x%02X", c);
    if (c < 0x80) utf8 += static_cast<char>(c);
    else utf8 += hex;
  }
  return utf8;
}

std::string SetupFileFromArgument(const std::string& argument) {
  const std::string absolute =
      IsAbsolute(argument) ? argument : std::filesystem::absolute(argument).string();
  return platform::PathFromHost(absolute);
}

bool ParseInteger(const std::string& text, int* value) {
  if (text.empty()) return false;
  char* end = nullptr;
  errno = 0;
  const long parsed = std::strtol(text.c_str(), &end, 10);
  if (*end != '\0' || errno == ERANGE || parsed < INT_MIN || parsed > INT_MAX) return false;
  *value = static_cast<int>(parsed);
  return true;
}

}  // namespace ovsetup::headless
