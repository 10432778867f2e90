// The program's language setting in its "SoftCfg.ini".
#pragma once

#include <string>

namespace ovsetup::install {

// The program's configuration file, in its settings folder "QVTCfg\".
constexpr char kSoftCfgFile[] = "SoftCfg.ini";

// Writes `language` in decimal as key "Language" of section "BaseCfg" of the
// INI file `config_file` (full path). The file, section or key is created
// when missing; every other line stays as it was. The outcome is not
// reported: the installs go on either way.
void WriteLanguageSetting(const std::string& config_file, int language);

}  // namespace ovsetup::install
