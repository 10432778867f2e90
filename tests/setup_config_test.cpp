// The welcome dialog's start-up values from SetupCfg.ini in a real folder,
// and the language setting written into SoftCfg.ini.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <string>
#include <vector>

#include "ini/ini_file.h"
#include "config/setup_config.h"
#include "install/write_language_setting.h"
#include "tests/support/temp_folder.h"

namespace ovsetup {
namespace {

using config::ParseLikeAtoi;
using config::ReadStartupValues;
using testing::TempFolder;
using testing::WriteHostFile;

TEST(ParseLikeAtoi, FollowsAtoi) {
  const struct {
    const char* text;
    int value;
  } cases[] = {
      {"0", 0},
      {"-5", -5},
      {"3abc", 3},
      {"7", 7},
      {"007", 7},
      {" \t\n\v\f\r+4", 4},
      {"-2x", -2},
      {"abc", 0},
      {"", 0},
      {"- 5", 0},
      {"+-5", 0},
      {"3 4", 3},
      {"2147483647", INT_MAX},
      {"-2147483648", INT_MIN},
      {"2147483648", INT_MAX},
      {"-2147483649", INT_MIN},
      {"99999999999999999999999", INT_MAX},
      {"-99999999999999999999999", INT_MIN},
  };
  for (const auto& c : cases) EXPECT_EQ(c.value, ParseLikeAtoi(c.text)) << '"' << c.text << '"';
}

TEST(SetupConfigPath, IsBesideTheExecutable) {
  EXPECT_EQ("C:\\media\\SetupCfg.ini", config::SetupConfigPath("C:\\media\\setup.exe"));
  EXPECT_EQ("C:\\media\\sub\\SetupCfg.ini", config::SetupConfigPath("C:\\media\\sub\\"));
  EXPECT_EQ("SetupCfg.ini", config::SetupConfigPath("setup.exe"));
}

TEST(ReadStartupValues, FromSetupCfgIni) {
  const struct {
    const char* name;
    const char* ini;  // nullptr: no SetupCfg.ini
    const char* product;
    int language;
  } cases[] = {
      {"no file", nullptr, "Orvane", 1},
      {"no SetupCfg section", "[Other]\r\nSoftVer=X\r\nLanguage=3\r\n", "Orvane", 1},
      {"empty section", "[SetupCfg]\r\n", "Orvane", 1},
      {"both keys", "[SetupCfg]\r\nSoftVer=Orvane Pro\r\nLanguage=3\r\n", "Orvane Pro", 3},
      {"language 0", "[SetupCfg]\r\nLanguage=0\r\n", "Orvane", 1},
      {"language -5", "[SetupCfg]\r\nLanguage=-5\r\n", "Orvane", 1},
      {"language 3abc", "[SetupCfg]\r\nLanguage=3abc\r\n", "Orvane", 3},
      {"language 7", "[SetupCfg]\r\nLanguage=7\r\n", "Orvane", 4},
      {"language text", "[SetupCfg]\r\nLanguage=English\r\n", "Orvane", 1},
      {"language empty", "[SetupCfg]\r\nLanguage=\r\n", "Orvane", 1},
      {"language huge", "[SetupCfg]\r\nLanguage=99999999999\r\n", "Orvane", 4},
      {"lower-case language key", "[SetupCfg]\r\nlanguage=3\r\n", "Orvane", 1},
      {"upper-case product key", "[SetupCfg]\r\nSOFTVER=X\r\nLanguage=2\r\n", "Orvane", 2},
      {"section name in other case", "[setupcfg]\r\nSoftVer=X\r\nLanguage=2\r\n", "X", 2},
      {"padded SoftVer line", "[SetupCfg]\r\n \t SoftVer \t =  Orvane Pro \t\r\n", "Orvane Pro", 1},
      {"empty SoftVer", "[SetupCfg]\r\nSoftVer=\r\nLanguage=4\r\n", "", 4},
      {"GBK product name", "[SetupCfg]\r\nSoftVer=\xD6\xD0\xCE\xC4\r\n", "\xD6\xD0\xCE\xC4", 1},
      {"key listed twice", "[SetupCfg]\r\nLanguage=2\r\nLanguage=3\r\n", "Orvane", 2},
      {"line without =", "[SetupCfg]\r\nSoftVer\r\nLanguage=2\r\n", "Orvane", 2},
      {"keys in a later section only", "[SetupCfg]\r\n[Other]\r\nLanguage=3\r\n", "Orvane", 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TempFolder dir;
    if (c.ini != nullptr) WriteHostFile(dir.Host("SetupCfg.ini"), c.ini);
    // A setup named 淺 (9C 5C: "\" as its trail byte) reads the same file.
    for (const char* setup : {"setup.exe", "\x9C\x5C.exe"}) {
      const config::StartupValues values = ReadStartupValues(dir.core() + setup);
      EXPECT_EQ(c.product, values.product_name);
      EXPECT_EQ(c.language, values.language.Number());
    }
  }
}

TEST(ReadSetupConfig, LeavesUnlistedOutputsAlone) {
  TempFolder dir;
  WriteHostFile(dir.Host("SetupCfg.ini"), "[SetupCfg]\r\nOther=1\r\n");
  std::string product = "before";
  int language = 42;
  EXPECT_EQ(0, config::ReadSetupConfig(dir.core() + "SetupCfg.ini", &product, &language));
  EXPECT_EQ("before", product);
  EXPECT_EQ(42, language);
}

TEST(WriteLanguageSetting, SetsBaseCfgLanguage) {
  const struct {
    const char* name;
    const char* before;  // nullptr: no file
    int language;
  } cases[] = {
      {"no file", nullptr, 1},
      {"empty file", "", 2},
      {"other sections only", "[View]\r\nZoom=2\r\n", 3},
      {"key present in other case", "[BaseCfg]\r\nlanguage=1\r\nUnit=mm\r\n", 4},
      {"negative number", "[BaseCfg]\r\nLanguage=1\r\n", -1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TempFolder dir;
    if (c.before != nullptr) WriteHostFile(dir.Host("SoftCfg.ini"), c.before);
    const std::string path = dir.core() + "SoftCfg.ini";
    install::WriteLanguageSetting(path, c.language);
    ini::IniFile ini;
    ini.SetPath(path.c_str());
    EXPECT_EQ(std::to_string(c.language), ini.GetString("BaseCfg", "Language", "none"));
    // The key present in another case is rewritten, not added a second time.
    std::vector<std::string> keys;
    ini.GetKeyList("BaseCfg", &keys);
    EXPECT_EQ(1, std::count_if(keys.begin(), keys.end(), [](const std::string& key) {
                return key == "Language" || key == "language";
              }));
  }
  TempFolder dir;
  WriteHostFile(dir.Host("SoftCfg.ini"), "[View]\r\nZoom=2\r\n[BaseCfg]\r\nUnit=mm\r\n");
  install::WriteLanguageSetting(dir.core() + "SoftCfg.ini", 2);
  ini::IniFile ini;
  ini.SetPath((dir.core() + "SoftCfg.ini").c_str());
  EXPECT_EQ("2", ini.GetString("View", "Zoom", "none"));
  EXPECT_EQ("mm", ini.GetString("BaseCfg", "Unit", "none"));
}

}  // namespace
}  // namespace ovsetup
