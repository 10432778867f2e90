#include "install/write_language_setting.h"

#include "ini/ini_file.h"

namespace ovsetup::install {

void WriteLanguageSetting(const std::string& config_file, int language) {
  ini::IniFile ini;
  ini.SetPath(config_file.c_str());
  ini.WriteString("BaseCfg", "Language", std::to_string(language).c_str());
}

}  // namespace ovsetup::install
