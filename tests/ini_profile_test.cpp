// The private-profile seam against one case table. Under Wine the table runs
// against kernel32 itself, natively against our INI engine: the same bytes
// and counts are expected from both. '#' in an expected buffer is a byte the
// call must leave alone (buffers start filled with '#').
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/profile.h"
#include "tests/support/temp_folder.h"

namespace ovsetup {
namespace {

using namespace std::string_literals;
using platform::ReadIniSection;
using platform::ReadIniString;
using platform::WriteIniString;
using testing::TempFolder;
using testing::WriteHostFile;

// Bytes past `size` that must stay untouched.
constexpr std::uint32_t kGuard = 16;

enum class Read { kString, kSection };

struct ReadCase {
  const char* name;
  const char* file;  // nullptr: no file
  Read read;
  const char* section;
  const char* key;    // kString only
  const char* fallback;  // the default, kString only
  std::uint32_t size;
  std::uint32_t count;
  std::string buffer;
};

const char kSec[] = "[Sec]\r\nkey=value\r\n";
const char kTen[] = "[Sec]\r\nkey=abcdefghij\r\n";
const char kTwo[] = "[Sec]\r\nalpha=1\r\nbeta=2\r\n";
const char kQuoted[] = "[Sec]\r\nkey=\"quoted\"\r\n";
const char kThree[] = "[One]\r\n[Two]\r\n[Three]\r\n";
const Read S = Read::kString;

const ReadCase kValueCases[] = {
    {"exact names", kSec, S, "Sec", "key", "D", 64, 5, "value\0#"s},
    {"names in other case", kSec, S, "sEC", "KEY", "D", 64, 5, "value\0#"s},
    {"names with blanks", kSec, S, " Sec\t", " key ", "D", 64, 5, "value\0#"s},
    {"missing key", kSec, S, "Sec", "missing", "D", 64, 1, "D\0#"s},
    {"missing section", kSec, S, "Nope", "key", "D", 64, 1, "D\0#"s},
    {"missing file", nullptr, S, "Sec", "key", "D", 64, 1, "D\0#"s},
    {"default: trailing spaces go", kSec, S, "Sec", "missing", "  dflt  ", 64, 6, "  dflt\0#"s},
    {"default: tabs stay", kSec, S, "Sec", "missing", "\tdflt\t", 64, 6, "\tdflt\t\0#"s},
    {"default: all spaces", kSec, S, "Sec", "missing", "   ", 64, 1, " \0#"s},
    {"default: quotes go", kSec, S, "Sec", "missing", "\"q\"", 64, 1, "q\0#"s},
    {"default: null", kSec, S, "Sec", "missing", nullptr, 64, 0, "\0#"s},
    {"default: empty", kSec, S, "Sec", "missing", "", 64, 0, "\0#"s},
    {"blanks around key and value", "[Sec]\r\n  key  =  value  \r\n", S, "Sec", "key", "D", 64, 5,
     "value\0#"s},
    {"tabs around key and value", "[Sec]\r\n\tkey\t=\tvalue\t\r\n", S, "Sec", "key", "D", 64, 5,
     "value\0#"s},
    {"VT and FF are blanks", "[Sec]\r\nkey=\v v\f \r\n", S, "Sec", "key", "D", 64, 1, "v\0#"s},
    // 0xA0 as a GBK trail byte: a valid character in code pages 1252 and 936.
    {"0xA0 is no blank", "[Sec]\r\nkey=v\x81\xA0\r\n", S, "Sec", "key", "D", 64, 3, "v\x81\xA0\0#"s},
    {"blanks inside the header", "[ Sec ]\r\nkey=value\r\n", S, "Sec", "key", "D", 64, 5,
     "value\0#"s},
    {"blanks around the header", "  [Sec]  \r\nkey=value\r\n", S, "Sec", "key", "D", 64, 5,
     "value\0#"s},
    {"header ends at the last ]", "[a]b]\r\nk=v\r\n", S, "a]b", "k", "D", 64, 1, "v\0#"s},
    {"not the first ]", "[a]b]\r\nk=v\r\n", S, "a", "k", "D", 64, 1, "D\0#"s},
    {"text after the header", "[Sec] ; c\r\nkey=value\r\n", S, "Sec", "key", "D", 64, 5,
     "value\0#"s},
    {"[ without ] is no header", "[Sec\r\nk=v\r\n", S, "", "k", "D", 64, 1, "v\0#"s},
    {"[ without ] opens nothing", "[Sec\r\nk=v\r\n", S, "Sec", "k", "D", 64, 1, "D\0#"s},
    {"blanks inside names", "[Sec]\r\nmy key=a b  c\r\n", S, "Sec", "my key", "D", 64, 6,
     "a b  c\0#"s},
    {"tab inside a value", "[Sec]\r\nkey=a\tb\r\n", S, "Sec", "key", "D", 64, 3, "a\tb\0#"s},
    {"empty value", "[Sec]\r\nkey=\r\n", S, "Sec", "key", "D", 64, 0, "\0#"s},
    {"= inside the value", "[Sec]\r\nkey=a=b\r\n", S, "Sec", "key", "D", 64, 3, "a=b\0#"s},
    {"empty key name", "[Sec]\r\n=value\r\nk=v\r\n", S, "Sec", "", "D", 64, 5, "value\0#"s},
    {"double quotes", "[Sec]\r\nkey=\"quoted  \"\r\n", S, "Sec", "key", "D", 64, 8,
     "quoted  \0#"s},
    {"quotes after trimming", "[Sec]\r\nkey=  \"q\"  \r\n", S, "Sec", "key", "D", 64, 1, "q\0#"s},
    {"blanks inside quotes", "[Sec]\r\nkey=\" q \" \r\n", S, "Sec", "key", "D", 64, 3, " q \0#"s},
    {"single quotes", "[Sec]\r\nkey='single'\r\n", S, "Sec", "key", "D", 64, 6, "single\0#"s},
    {"empty quotes", "[Sec]\r\nkey=''\r\n", S, "Sec", "key", "D", 64, 0, "\0#"s},
    {"lone quote", "[Sec]\r\nkey=\"\r\n", S, "Sec", "key", "D", 64, 1, "\"\0#"s},
    {"unclosed quote", "[Sec]\r\nkey=\"open\r\n", S, "Sec", "key", "D", 64, 5, "\"open\0#"s},
    {"mismatched quotes", "[Sec]\r\nkey=\"a'\r\n", S, "Sec", "key", "D", 64, 3, "\"a'\0#"s},
    {"only the outer quotes", "[Sec]\r\nkey=\"a\" \"b\"\r\n", S, "Sec", "key", "D", 64, 5,
     "a\" \"b\0#"s},
    {"quotes, roomy buffer", "[Sec]\r\nkey=\"q\"\r\n", S, "Sec", "key", "D", 3, 1, "q\0#"s},
    {"quotes, value cut", kQuoted, S, "Sec", "key", "D", 4, 3, "quo\0#"s},
    {"quotes, value fits", kQuoted, S, "Sec", "key", "D", 8, 6, "quoted\0#"s},
    {"; comment skipped", "[Sec]\r\n;key=commented\r\nkey=value\r\n", S, "Sec", "key", "D", 64,
     5, "value\0#"s},
    {"; comment found by name", "[Sec]\r\n;key=c\r\n", S, "Sec", ";key", "D", 64, 1, "c\0#"s},
    {"# is no comment", "[Sec]\r\n#key=hash\r\n", S, "Sec", "#key", "D", 64, 4, "hash\0#"s},
    {"; inside a value", "[Sec]\r\nkey=value ; trailing\r\n", S, "Sec", "key", "D", 64, 16,
     "value ; trailing\0#"s},
    {"line without =", "[Sec]\r\nlonely\r\nkey=value\r\n", S, "Sec", "lonely", "D", 64, 1,
     "D\0#"s},
    {"first of two keys", "[Sec]\r\nkey=first\r\nkey=second\r\n", S, "Sec", "key", "D", 64, 5,
     "first\0#"s},
    {"first of two sections", "[Sec]\r\na=1\r\n[Sec]\r\nb=2\r\n", S, "Sec", "b", "D", 64, 1,
     "D\0#"s},
    {"first of two sections, other case", "[Sec]\r\nKey=one\r\n[sec]\r\nkey=two\r\n", S, "SEC",
     "KEY", "D", 64, 3, "one\0#"s},
    {"keys before any header", "key=before\r\n[Sec]\r\nx=1\r\n", S, "", "key", "D", 64, 6,
     "before\0#"s},
    {"[] is not the leading section", "[]\r\nk=v\r\n", S, "", "k", "D", 64, 1, "D\0#"s},
    {"LF lines", "[Sec]\nkey=value\n", S, "Sec", "key", "D", 64, 5, "value\0#"s},
    {"CR lines", "[Sec]\rkey=value\r", S, "Sec", "key", "D", 64, 5, "value\0#"s},
    {"no final line end", "[Sec]\r\nkey=value", S, "Sec", "key", "D", 64, 5, "value\0#"s},
    {"UTF-8 byte-order mark", "\xEF\xBB\xBF[Sec]\r\nkey=value\r\n", S, "Sec", "key", "D", 64, 5,
     "value\0#"s},
    {"byte-order mark, leading section", "\xEF\xBB\xBFk=v\r\n", S, "", "k", "D", 64, 1,
     "v\0#"s},
    {"GBK value", "[Sec]\r\nkey=\xD6\xD0\xCE\xC4\r\n", S, "Sec", "key", "D", 64, 4,
     "\xD6\xD0\xCE\xC4\0#"s},
    {"GBK names", "[\xD6\xD0]\r\n\xCE\xC4=v\r\n", S, "\xD6\xD0", "\xCE\xC4", "D", 64, 1,
     "v\0#"s},
    {"value fits", kTen, S, "Sec", "key", "D", 64, 10, "abcdefghij\0#"s},
    {"value cut to size - 1", kTen, S, "Sec", "key", "D", 5, 4, "abcd\0"s},
    {"value fills the buffer", kTen, S, "Sec", "key", "D", 11, 10, "abcdefghij\0"s},
    {"value into one byte", kTen, S, "Sec", "key", "D", 1, 0, "\0"s},
    {"value into no buffer", kTen, S, "Sec", "key", "D", 0, 0, ""s},
    {"default cut to size - 1", kSec, S, "Sec", "missing", "defaultvalue", 5, 4, "defa\0"s},
};

const ReadCase kListCases[] = {
    {"key names", "[Sec]\r\nalpha=1\r\nbeta=2\r\n;c=3\r\nlonely\r\n", S, "Sec", nullptr, "D", 64,
     11, "alpha\0beta\0\0#"s},
    {"key names of the leading section", "k=v\r\n[Sec]\r\n", S, "", nullptr, "D", 64, 2,
     "k\0\0#"s},
    {"key names skip indented comments", "[Sec]\r\n  ;c=3\r\nk=1\r\n", S, "Sec", nullptr, "D", 64,
     2, "k\0\0#"s},
    {"key names fill exactly", kTwo, S, "Sec", nullptr, "D", 13, 11, "alpha\0beta\0\0#"s},
    {"key names, no room for the end", kTwo, S, "Sec", nullptr, "D", 12, 10, "alpha\0beta\0#"s},
    {"key names, last one cut", kTwo, S, "Sec", nullptr, "D", 10, 8, "alpha\0be\0#"s},
    {"key names, one byte of the last", kTwo, S, "Sec", nullptr, "D", 9, 7, "alpha\0b\0#"s},
    {"key names, one fits", kTwo, S, "Sec", nullptr, "D", 8, 6, "alpha\0\0#"s},
    {"key names, one fills", kTwo, S, "Sec", nullptr, "D", 7, 5, "alpha\0#"s},
    {"key names, first cut", kTwo, S, "Sec", nullptr, "D", 6, 4, "alph\0#"s},
    {"key names into one byte", kTwo, S, "Sec", nullptr, "D", 1, 0, "\0#"s},
    {"key names of an empty section", "[Sec]\r\n", S, "Sec", nullptr, "D", 64, 1, "D\0#"s},
    {"key names of a missing section", "[Sec]\r\n", S, "Nope", nullptr, "D", 64, 1, "D\0#"s},
    {"key names of a missing file", nullptr, S, "Sec", nullptr, "D", 64, 1, "D\0#"s},
    {"key names: empty first name", "[Sec]\r\n=value\r\nk=v\r\n", S, "Sec", nullptr, "D", 64, 1,
     "D\0#"s},
    {"section names", kThree, S, nullptr, nullptr, "D", 64, 14, "One\0Two\0Three\0\0#"s},
    {"section names cut", kThree, S, nullptr, nullptr, "D", 8, 6, "One\0Tw\0#"s},
    {"section names, no byte to spare", "[A]\r\n", S, nullptr, nullptr, "D", 3, 1, "A\0#"s},
    {"section names with room", "[A]\r\n", S, nullptr, nullptr, "D", 4, 2, "A\0\0#"s},
    {"section names repeat", "[A]\r\n[B]\r\n[a]\r\n", S, nullptr, nullptr, "D", 64, 6,
     "A\0B\0a\0\0#"s},
    {"section names skip []", "[A]\r\n[]\r\n[B]\r\n", S, nullptr, nullptr, "D", 64, 4,
     "A\0B\0\0#"s},
    {"no section names", "k=v\r\n", S, nullptr, nullptr, "D", 64, 0, "\0#"s},
};

const Read L = Read::kSection;
const ReadCase kSectionCases[] = {
    {"section lines",
     "[Sec]\r\n  alpha  =  1  \r\n;comment\r\nlonely\r\n\r\nbeta=\"2\"\r\n[Next]\r\nx=1\r\n", L,
     "Sec", nullptr, nullptr, 128, 24, "alpha=1\0lonely\0beta=\"2\"\0\0#"s},
    {"section in other case", kTwo, L, "sec", nullptr, nullptr, 128, 15,
     "alpha=1\0beta=2\0\0#"s},
    {"section with room", kTwo, L, "Sec", nullptr, nullptr, 17, 15, "alpha=1\0beta=2\0\0#"s},
    {"section fills exactly", kTwo, L, "Sec", nullptr, nullptr, 16, 14, "alpha=1\0beta=2\0\0"s},
    {"section cut in a value", kTwo, L, "Sec", nullptr, nullptr, 15, 13, "alpha=1\0beta=\0\0"s},
    {"section cut at a line", kTwo, L, "Sec", nullptr, nullptr, 10, 8, "alpha=1\0\0\0"s},
    {"section cut in the first", kTwo, L, "Sec", nullptr, nullptr, 8, 6, "alpha=\0\0"s},
    {"section cut to one byte", kTwo, L, "Sec", nullptr, nullptr, 3, 1, "a\0\0"s},
    {"section into two bytes", kTwo, L, "Sec", nullptr, nullptr, 2, 0, "\0\0"s},
    {"section into one byte", kTwo, L, "Sec", nullptr, nullptr, 1, 0, "\0#"s},
    {"section into no buffer", kTwo, L, "Sec", nullptr, nullptr, 0, 0, "#"s},
    {"missing section", kTwo, L, "Missing", nullptr, nullptr, 64, 0, "\0\0#"s},
    {"section of a missing file", nullptr, L, "Sec", nullptr, nullptr, 64, 0, "\0\0#"s},
    {"empty section", "[Sec]\r\n[Next]\r\nk=v\r\n", L, "Sec", nullptr, nullptr, 64, 0,
     "\0\0#"s},
    {"section of blank lines", "[Sec]\r\n   \r\n\r\n", L, "Sec", nullptr, nullptr, 64, 0,
     "\0\0#"s},
    {"line starting with =", "[Sec]\r\n=value\r\nk=v\r\n", L, "Sec", nullptr, nullptr, 64, 11,
     "=value\0k=v\0\0#"s},
    {"leading section", "k=v\r\n[Sec]\r\n", L, "", nullptr, nullptr, 64, 4, "k=v\0\0#"s},
    {"indented comments", "[Sec]\r\n  ;c=3\r\n  ;c\r\nk=1\r\n", L, "Sec", nullptr, nullptr, 64,
     4, "k=1\0\0#"s},
    {"= in values, quotes kept", "[Sec]\r\nkey=a=b\r\n k = \"q\" \r\n", L, "Sec", nullptr,
     nullptr, 64, 14, "key=a=b\0k=\"q\"\0\0#"s},
};

class ProfileTable : public ::testing::Test {
 protected:
  std::string Path() const { return dir_.core() + "case.ini"; }

  void Check(const ReadCase& c) {
    SCOPED_TRACE(c.name);
    if (c.file != nullptr) WriteHostFile(dir_.Host("case.ini"), c.file);
    std::vector<char> buffer(c.size + kGuard, '#');
    const std::uint32_t count =
        c.read == Read::kString
            ? ReadIniString(c.section, c.key, c.fallback, buffer.data(), c.size, Path())
            : ReadIniSection(c.section, buffer.data(), c.size, Path());
    EXPECT_EQ(c.count, count);
    EXPECT_EQ(c.buffer, std::string(buffer.data(), c.buffer.size()));
    EXPECT_EQ(std::string(kGuard, '#'), std::string(buffer.data() + c.size, kGuard))
        << "written past the buffer";
    if (c.file != nullptr) std::filesystem::remove(dir_.Host("case.ini"));
  }

  TempFolder dir_;
};

TEST_F(ProfileTable, Values) {
  for (const ReadCase& c : kValueCases) Check(c);
}

TEST_F(ProfileTable, KeyAndSectionNameLists) {
  for (const ReadCase& c : kListCases) Check(c);
}

TEST_F(ProfileTable, Sections) {
  for (const ReadCase& c : kSectionCases) Check(c);
}

TEST_F(ProfileTable, LongValuesAreCutAtSizeMinusOne) {
  const std::uint32_t kSize = 512;
  const struct {
    std::size_t length;
    std::uint32_t count;
  } cases[] = {{510, 510}, {511, 511}, {512, 511}, {5000, 511}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.length);
    const std::string value(c.length, 'v');
    WriteHostFile(dir_.Host("case.ini"), "[Sec]\r\nkey=" + value + "\r\n");
    std::vector<char> buffer(kSize + kGuard, '#');
    EXPECT_EQ(c.count, ReadIniString("Sec", "key", "D", buffer.data(), kSize, Path()));
    EXPECT_EQ(value.substr(0, c.count) + '\0', std::string(buffer.data(), c.count + 1));
    EXPECT_EQ(std::string(kGuard, '#'), std::string(buffer.data() + kSize, kGuard));
  }
}

// What the reads see of a whole file: the leading section's lines, then each
// section as "[name]" and its lines, one per text line.
std::string ReadsView(const std::string& path) {
  std::vector<char> names(4096);
  ReadIniString(nullptr, nullptr, "", names.data(), 4096, path);
  std::string view;
  auto add_lines = [&](const char* section) {
    std::vector<char> lines(4096);
    ReadIniSection(section, lines.data(), 4096, path);
    for (const char* at = lines.data(); *at != '\0'; at += std::string(at).size() + 1)
      view += std::string(at) + "\n";
  };
  add_lines("");
  for (const char* at = names.data(); *at != '\0'; at += std::string(at).size() + 1) {
    view += "[" + std::string(at) + "]\n";
    add_lines(at);
  }
  return view;
}

struct WriteCase {
  const char* name;
  const char* file;  // nullptr: no file
  const char* section;
  const char* key;
  const char* value;
  const char* reads;  // ReadsView afterwards
};

const WriteCase kWriteCases[] = {
    {"new key", kSec, "Sec", "new", "v2", "[Sec]\nkey=value\nnew=v2\n"},
    {"key in other case", kSec, "Sec", "KEY", "changed", "[Sec]\nkey=changed\n"},
    {"names with blanks", kSec, " Sec ", " key ", "x", "[Sec]\nkey=x\n"},
    {"padded key line", "[Sec]\r\n  key  =  old  \r\n;comment\r\nother = x\r\n", "Sec", "key",
     "new", "[Sec]\nkey=new\nother=x\n"},
    {"new section", kSec, "New", "k", "v", "[Sec]\nkey=value\n[New]\nk=v\n"},
    {"padded value", kSec, "Sec", "key", "  padded  ", "[Sec]\nkey=padded\n"},
    {"quoted value", kSec, "Sec", "key", "\"quoted\"", "[Sec]\nkey=\"quoted\"\n"},
    {"empty value", kSec, "Sec", "key", "", "[Sec]\nkey=\n"},
    {"first of two keys", "[Sec]\r\nkey=1\r\nkey=2\r\n", "Sec", "key", "3", "[Sec]\nkey=3\nkey=2\n"},
    {"null value deletes the key", kSec, "Sec", "key", nullptr, "[Sec]\n"},
    {"null key deletes the section", "[Sec]\r\nkey=value\r\n[Keep]\r\nk=v\r\n", "Sec", nullptr,
     nullptr, "[Keep]\nk=v\n"},
    {"empty file", "", "Sec", "key", "value", "[Sec]\nkey=value\n"},
    {"no file", nullptr, "Sec", "key", "value", "[Sec]\nkey=value\n"},
    {"LF file", "[Sec]\nkey=value\n", "Sec", "k2", "v2", "[Sec]\nkey=value\nk2=v2\n"},
    {"no final line end, new key", "[Sec]\r\nkey=value", "Sec", "new", "v",
     "[Sec]\nkey=value\nnew=v\n"},
    {"no final line end, new section", "[Sec]\r\nkey=value", "Other", "new", "v",
     "[Sec]\nkey=value\n[Other]\nnew=v\n"},
    {"new key before the next section", "[Sec]\r\nkey=value\r\n\r\n[Next]\r\nx=1\r\n", "Sec",
     "new", "v", "[Sec]\nkey=value\nnew=v\n[Next]\nx=1\n"},
    {"line without = gets a value", "[Sec]\r\nlonely\r\nz=1\r\n", "Sec", "lonely", "v",
     "[Sec]\nlonely=v\nz=1\n"},
    {"leading section", "k=v\r\n[Sec]\r\n", "", "k", "new", "k=new\n[Sec]\n"},
    {"GBK", kSec, "\xD6\xD0", "\xCE\xC4", "\xD6\xD0",
     "[Sec]\nkey=value\n[\xD6\xD0]\n\xCE\xC4=\xD6\xD0\n"},
};

TEST_F(ProfileTable, WritesAsLaterReadsSeeThem) {
  for (const WriteCase& c : kWriteCases) {
    SCOPED_TRACE(c.name);
    if (c.file != nullptr) WriteHostFile(dir_.Host("case.ini"), c.file);
    EXPECT_EQ(1, WriteIniString(c.section, c.key, c.value, Path()));
    EXPECT_EQ(c.reads, ReadsView(Path()));
    std::filesystem::remove(dir_.Host("case.ini"));
  }
}

TEST_F(ProfileTable, WriteIntoMissingFolderFails) {
  EXPECT_EQ(0, WriteIniString("Sec", "k", "v", dir_.core() + "absent\\case.ini"));
  EXPECT_FALSE(std::filesystem::exists(dir_.Host("absent")));
}

TEST_F(ProfileTable, CommentLineSetByNameIsStillAComment) {
  WriteHostFile(dir_.Host("case.ini"), "[Sec]\r\n;key=value\r\n");
  ASSERT_EQ(1, WriteIniString("Sec", ";key", "v", Path()));
  char buffer[16];
  EXPECT_EQ(1u, ReadIniString("Sec", ";key", "D", buffer, sizeof buffer, Path()));
  EXPECT_STREQ("v", buffer);
}

}  // namespace
}  // namespace ovsetup
