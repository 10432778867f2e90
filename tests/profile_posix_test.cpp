// The Linux INI engine's own promises beyond the shared case table: a write
// leaves every other line byte for byte, and double-byte names are not
// case-folded inside a character.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/profile.h"
#include "tests/support/temp_folder.h"

namespace ovsetup {
namespace {

using platform::ReadIniString;
using platform::WriteIniString;
using testing::ReadHostFile;
using testing::TempFolder;
using testing::WriteHostFile;

TEST(IniEngineWrites, TouchOnlyTheLineConcerned) {
  const struct {
    const char* name;
    const char* before;
    const char* section;
    const char* key;
    const char* value;
    const char* after;
  } cases[] = {
      {"value replaced", "; head\r\n[Sec]\r\n  key  =  old  \r\n\r\n[Next]\n x = 1 \n", "Sec",
       "KEY", "new", "; head\r\n[Sec]\r\nkey=new\r\n\r\n[Next]\n x = 1 \n"},
      {"key after the section's last line", "[Sec]\r\n a = 1 \r\n;note\r\n\r\n[Next]\r\n", "Sec",
       "b", "2", "[Sec]\r\n a = 1 \r\n;note\r\nb=2\r\n\r\n[Next]\r\n"},
      {"key into an empty section", "[Sec]\n[Next]\n", "Sec", "k", "v", "[Sec]\nk=v\n[Next]\n"},
      {"section in the file's line ends", "[Sec]\nk=v\n", "New", "a", "b",
       "[Sec]\nk=v\n[New]\na=b\n"},
      {"no final line end stays so", "[Sec]\r\nk=v", "Sec", "n", "1", "[Sec]\r\nk=v\r\nn=1"},
      {"line end added before a new section", "[Sec]\nk=v", "New", "n", "1",
       "[Sec]\nk=v\n[New]\nn=1\n"},
      {"byte-order mark kept", "\xEF\xBB\xBF[Sec]\r\n", "", "k", "v",
       "\xEF\xBB\xBFk=v\r\n[Sec]\r\n"},
      {"key deleted", "[Sec]\r\n a = 1 \r\nb=2\r\n c = 3\r\n", "Sec", "b", nullptr,
       "[Sec]\r\n a = 1 \r\n c = 3\r\n"},
      {"section deleted", "x=0\n[A]\n a=1\n\n[B]\nb=2\n[C]\nc=3\n", "b", nullptr, nullptr,
       "x=0\n[A]\n a=1\n\n[C]\nc=3\n"},
      {"leading section deleted", "x=0\n[A]\na=1\n", "", nullptr, nullptr, "[A]\na=1\n"},
      {"delete of a missing key", "[Sec]\r\n a = 1 \r\n", "Sec", "zz", nullptr,
       "[Sec]\r\n a = 1 \r\n"},
  };
  TempFolder dir;
  const std::string path = dir.core() + "edit.ini";
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    WriteHostFile(dir.Host("edit.ini"), c.before);
    EXPECT_EQ(1, WriteIniString(c.section, c.key, c.value, path));
    EXPECT_EQ(c.after, ReadHostFile(dir.Host("edit.ini")));
  }
}

TEST(IniEngineWrites, DeletingFromMissingFileCreatesNothing) {
  TempFolder dir;
  EXPECT_EQ(1, WriteIniString("Sec", "k", nullptr, dir.core() + "none.ini"));
  EXPECT_EQ(1, WriteIniString("Sec", nullptr, nullptr, dir.core() + "none.ini"));
  EXPECT_FALSE(std::filesystem::exists(dir.Host("none.ini")));
}

TEST(IniEngineWrites, FolderInPlaceOfTheFileFails) {
  TempFolder dir;
  std::filesystem::create_directories(dir.Host("taken.ini"));
  EXPECT_EQ(0, WriteIniString("Sec", "k", "v", dir.core() + "taken.ini"));
}

TEST(IniEngineNames, DoubleByteCharactersAreNotCaseFolded) {
  TempFolder dir;
  // 0x81 0x41 and 0x81 0x61 are two different GBK characters.
  WriteHostFile(dir.Host("gbk.ini"), "[Sec]\r\n\x81\x41=upper\r\nAb=mixed\r\n");
  const std::string path = dir.core() + "gbk.ini";
  char buffer[16];
  EXPECT_EQ(1u, ReadIniString("Sec", "\x81\x61", "D", buffer, sizeof buffer, path));
  EXPECT_STREQ("D", buffer);
  EXPECT_EQ(5u, ReadIniString("Sec", "\x81\x41", "D", buffer, sizeof buffer, path));
  EXPECT_STREQ("upper", buffer);
  EXPECT_EQ(5u, ReadIniString("Sec", "aB", "D", buffer, sizeof buffer, path));
  EXPECT_STREQ("mixed", buffer);
}

}  // namespace
}  // namespace ovsetup
