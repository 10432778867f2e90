// The one trim, with each set of blanks its callers hand it.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/ansi_text.h"
#include "platform/path_text.h"

namespace ovsetup {
namespace {

using platform::Trim;
using platform::TrimEnds;

TEST(Trim, TakesTheListedBytesFromTheEnds) {
  const struct {
    const char* text;
    const char* blanks;
    TrimEnds ends;
    const char* trimmed;
  } cases[] = {
      {" \t key name \r\n", " \t\r\n", TrimEnds::kBoth, "key name"},
      {"key", " \t\r\n", TrimEnds::kBoth, "key"},
      {" \t\r\n", " \t\r\n", TrimEnds::kBoth, ""},
      {"", " \t", TrimEnds::kBoth, ""},
      {"\vkey\f", " \t\r\n", TrimEnds::kBoth, "\vkey\f"},
      {"\vkey\f", " \t\v\f\r\n", TrimEnds::kBoth, "key"},
      {"  REGEDIT4 \t", " \t", TrimEnds::kEndOnly, "  REGEDIT4"},
      {" \t ", " \t", TrimEnds::kEndOnly, ""},
      {"\xD6\xD0 ", " ", TrimEnds::kBoth, "\xD6\xD0"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(c.trimmed, Trim(c.text, c.blanks, c.ends));
  }
}

// Paths as the system's code page reads them (936 here: the stand-in's
// default and the test prefix's): 淺 (9C 5C) and 誠 (D5 5C) end in a 0x5C
// trail byte that is no "\".
TEST(PathText, CutsAtTheLastBackslashCharacter) {
  const struct {
    const char* path;
    const char* folder;      // FolderOf
    const char* with_slash;  // WithTrailingSlash
  } cases[] = {
      {"C:\\media\\setup.exe", "C:\\media\\", "C:\\media\\setup.exe\\"},
      {"C:\\media\\\x9C\x5C.exe", "C:\\media\\", "C:\\media\\\x9C\x5C.exe\\"},
      {"D:\\\x9C\x5C", "D:\\", "D:\\\x9C\x5C\\"},
      {"D:\\\xD5\x5C\\", "D:\\\xD5\x5C\\", "D:\\\xD5\x5C\\"},
      {"\x9C\x5C", "", "\x9C\x5C\\"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(c.folder, platform::FolderOf(c.path));
    EXPECT_EQ(c.with_slash, platform::WithTrailingSlash(c.path));
    EXPECT_EQ(std::string(c.with_slash).substr(0, std::string(c.with_slash).size() - 1),
              platform::WithoutTrailingSlash(c.with_slash));
  }
  const struct {
    unsigned code_page;
    unsigned char byte;
    bool lead;
  } bytes[] = {{936, 0x81, true},  {936, 0xFE, true},  {936, 0x80, false}, {950, 0xA5, true},
               {932, 0x9C, true},  {932, 0xA5, false}, {932, 0xE0, true},  {1252, 0x9C, false},
               {936, 0x5C, false}, {949, 0xB0, true}};
  for (const auto& b : bytes)
    EXPECT_EQ(b.lead, platform::IsLeadByteOf(b.code_page, static_cast<char>(b.byte)))
        << b.code_page << " " << int(b.byte);
#ifndef _WIN32
  // The stand-in takes the system's code page from OVSETUP_CODEPAGE.
  setenv("OVSETUP_CODEPAGE", "1252", 1);
  EXPECT_EQ("D:\\\x9C\x5C", platform::WithTrailingSlash("D:\\\x9C\x5C"));
  unsetenv("OVSETUP_CODEPAGE");
#endif
}

}  // namespace
}  // namespace ovsetup
