// The setup configuration: product name and start-up language, read from
// "SetupCfg.ini" beside the setup executable.
#pragma once

#include <string>

#include "install/language_index.h"

namespace ovsetup::config {

// Product name when "SoftVer" is not listed.
constexpr char kDefaultProductName[] = "Orvane";

// What the welcome dialog starts with.
struct StartupValues {
  std::string product_name = kDefaultProductName;
  install::LanguageIndex language = install::LanguageIndex(0);  // an entry of the list
};

// The configuration file for the setup executable `setup_file` (full path,
// "\" separators): its folder, up to and including the last "\", followed by
// "SetupCfg.ini".
std::string SetupConfigPath(const std::string& setup_file);

// Reads section "SetupCfg" of the INI file `ini_path`: for each key listed in
// the section whose name is exactly (case-sensitively) "SoftVer" or
// "Language", in file order, sets `*product_name` to its value or
// `*language` to ParseLikeAtoi of its value. An output whose key is not
// listed stays untouched. Always returns 0; a missing file or section is not
// an error.
int ReadSetupConfig(const std::string& ini_path, std::string* product_name, int* language);

// The C library's atoi: leading space, tab, LF, VT, FF and CR skipped, an
// optional sign, then decimal digits up to the first other byte; 0 without
// digits. Values beyond the int range saturate to INT_MIN or INT_MAX (where
// atoi itself is undefined).
int ParseLikeAtoi(const char* text);

// The start-up values for `setup_file`: defaults "Orvane" and 0, then
// ReadSetupConfig of SetupConfigPath(setup_file), the language number taken
// by LanguageIndex::FromNumber.
StartupValues ReadStartupValues(const std::string& setup_file);

}  // namespace ovsetup::config
