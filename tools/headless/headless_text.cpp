#include "tools/headless/headless_text.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "platform/text_codec.h"
#include "tools/shown_text.h"

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
  return tools::ShownText(text, platform::kCodePageGbk);
}

void PrintExtractionStop(const payload::WalkResult& result) {
  std::string line = std::string("ovsetup-headless: extraction stopped: ") +
                     payload::DescribeFault(result.fault);
  if (result.at_entry)
    line += "; entry " + std::to_string(result.entry) + " \"" + Utf8FromGbk(result.path) + "\"";
  if (!result.target.empty()) line += "; file \"" + Utf8FromGbk(result.target) + "\"";
  if (result.bytes_needed != 0) line += "; needs " + std::to_string(result.bytes_needed) + " bytes";
  line += "; Windows error " + std::to_string(result.system_error);
  std::fprintf(stderr, "%s\n", line.c_str());
  std::fflush(stderr);
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
