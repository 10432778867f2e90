#include "install/write_language_setting.h"

#include "app/ini_file.h"

namespace ovsetup::install {

void WriteLanguageSetting(const std::string& config_file, int language) {
  app::IniFile ini;
  ini.SetPath(config_file.c_str());
  ini.WriteString("BaseCfg", "Language", std::to_string(language).c_str());
}

}  // namespace ovsetup::install
