// config: the start-up values of the welcome dialog.
#include <cstdio>
#include <filesystem>

#include "app/setup_config.h"
#include "platform/text_codec.h"
#include "tools/headless/commands.h"

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

// GBK text as UTF-8; bytes that do not convert are shown as \xNN.
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

}  // namespace

int RunConfig(const std::vector<std::string>& args) {
  std::string setup_file;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--setup" && i + 1 < args.size()) setup_file = args[++i];
    else return Usage("config: unexpected argument \"" + args[i] + "\"");
  }
  if (setup_file.empty()) return Usage("config: --setup FILE is required");
  // A relative INI path would be looked up in the Windows folder.
  if (!IsAbsolute(setup_file)) setup_file = std::filesystem::absolute(setup_file).string();

  const app::StartupValues values =
      app::ReadStartupValues(platform::PathFromHost(setup_file));
  std::printf("product: %s\nlanguage: %d\n", Utf8FromGbk(values.product_name).c_str(),
              values.language);
  return kExitOk;
}

}  // namespace ovsetup::headless
