#include "config/setup_config.h"

#include <climits>
#include <vector>

#include "ini/ini_file.h"
#include "platform/path_text.h"

namespace ovsetup::config {
namespace {

constexpr char kSection[] = "SetupCfg";

bool IsAtoiSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

}  // namespace

std::string SetupConfigPath(const std::string& setup_file) {
  return platform::FolderOf(setup_file) + "SetupCfg.ini";
}

int ReadSetupConfig(const std::string& ini_path, std::string* product_name, int* language) {
  ini::IniFile ini;
  ini.SetPath(ini_path.c_str());
  std::vector<std::string> keys;
  ini.GetKeyList(kSection, &keys);
  for (const std::string& key : keys) {
    if (key == "SoftVer")
      *product_name = ini.GetString(kSection, key.c_str(), kDefaultProductName);
    else if (key == "Language")
      *language = ParseLikeAtoi(ini.GetString(kSection, key.c_str(), "0").c_str());
  }
  return 0;
}

int ParseLikeAtoi(const char* text) {
  while (IsAtoiSpace(*text)) ++text;
  const bool negative = *text == '-';
  if (*text == '-' || *text == '+') ++text;
  // Accumulated as a negative number: INT_MIN has no positive counterpart.
  long long value = 0;
  for (; *text >= '0' && *text <= '9'; ++text) {
    value = value * 10 - (*text - '0');
    if (value < INT_MIN) return negative ? INT_MIN : INT_MAX;
  }
  if (negative) return static_cast<int>(value);
  return value < -static_cast<long long>(INT_MAX) ? INT_MAX : static_cast<int>(-value);
}

StartupValues ReadStartupValues(const std::string& setup_file) {
  StartupValues values;
  int language = 0;
  ReadSetupConfig(SetupConfigPath(setup_file), &values.product_name, &language);
  values.language = install::LanguageIndex::FromNumber(language);
  return values;
}

}  // namespace ovsetup::config
