// IniFile over real files: buffer growth at the 512-byte steps, the key-name
// listing and its cutting, and the list helpers.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "ini/ini_file.h"
#include "tests/support/temp_folder.h"

namespace ovsetup {
namespace {

using namespace std::string_literals;
using ini::ForEachString;
using ini::IniFile;
using testing::TempFolder;
using testing::WriteHostFile;
using Names = std::vector<std::string>;

TEST(ForEachString, WalksUntilTheEmptyStringOrAStop) {
  const struct {
    const char* name;
    std::string list;
    int stop_at;  // the visitor returns 0 on this call (1-based); 0: never
    int result;
    Names seen;
  } cases[] = {
      {"two strings", "a\0bb\0\0"s, 0, 1, {"a", "bb"}},
      {"empty list", "\0\0"s, 0, 1, {}},
      {"stopped at the first", "a\0bb\0\0"s, 1, 0, {"a"}},
      {"stopped at the second", "a\0bb\0c\0\0"s, 2, 0, {"a", "bb"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Names seen;
    const int result = ForEachString(c.list.c_str(), [&](const char* text) {
      seen.push_back(text);
      return static_cast<int>(seen.size()) == c.stop_at ? 0 : 1;
    });
    EXPECT_EQ(c.result, result);
    EXPECT_EQ(c.seen, seen);
  }
  EXPECT_EQ(0, ForEachString(nullptr, [](const char*) { return 1; }));
  EXPECT_EQ(0, ForEachString("a\0\0", nullptr));
}

class IniFileTest : public ::testing::Test {
 protected:
  void SetUp() override { ini_.SetPath(Path().c_str()); }
  std::string Path() const { return dir_.core() + "test.ini"; }
  void Write(const std::string& bytes) { WriteHostFile(dir_.Host("test.ini"), bytes); }

  TempFolder dir_;
  IniFile ini_;
};

TEST_F(IniFileTest, LongValuesAreReadWhole) {
  for (std::size_t length : {510u, 511u, 512u, 1023u, 1024u, 5000u}) {
    SCOPED_TRACE(length);
    const std::string value(length, 'v');
    Write("[Sec]\r\nkey=" + value + "\r\n");
    EXPECT_EQ(value, ini_.GetString("Sec", "key", "D"));
  }
  const std::string long_default(700, 'd');
  EXPECT_EQ(long_default, ini_.GetString("Sec", "missing", long_default.c_str()));
}

TEST_F(IniFileTest, GetStringDefaults) {
  Write("[Sec]\r\nkey=value\r\n");
  EXPECT_EQ("value", ini_.GetString("sec", "KEY", "D"));
  EXPECT_EQ("D", ini_.GetString("Sec", "missing", "D"));
  EXPECT_EQ("", ini_.GetString("Sec", "missing", nullptr));
  // Without a section or key the default comes back exactly as given.
  EXPECT_EQ("  D  ", ini_.GetString(nullptr, "key", "  D  "));
  EXPECT_EQ("  D  ", ini_.GetString("Sec", nullptr, "  D  "));
  EXPECT_EQ("", ini_.GetString("Sec", nullptr, nullptr));
}

TEST_F(IniFileTest, WriteStringNeverDeletes) {
  Write("[Sec]\r\nkey=value\r\nother=1\r\n");
  EXPECT_EQ(1, ini_.WriteString("Sec", "key", nullptr));
  EXPECT_EQ("", ini_.GetString("Sec", "key", "D"));
  Names keys;
  ini_.GetKeyList("Sec", &keys);
  EXPECT_EQ((Names{"key", "other"}), keys);

  EXPECT_EQ(1, ini_.WriteString("New", "k", "v"));
  EXPECT_EQ("v", ini_.GetString("New", "k", "D"));
  EXPECT_EQ(0, ini_.WriteString(nullptr, "k", "v"));
  EXPECT_EQ(0, ini_.WriteString("Sec", nullptr, "v"));
  EXPECT_EQ("", ini_.GetString("Sec", "key", "D"));
}

TEST_F(IniFileTest, NullPathNamesNoFile) {
  Write("[Sec]\r\nkey=value\r\n");
  ini_.SetPath(nullptr);
  EXPECT_EQ("D", ini_.GetString("Sec", "key", "D"));
  EXPECT_EQ(0, ini_.WriteString("Sec", "key", "x"));
  IniFile never_set;
  EXPECT_EQ(0, never_set.WriteString("Sec", "key", "x"));
  EXPECT_EQ(2, never_set.GetSectionData("Sec", nullptr, 0));

  ini_.SetPath(Path().c_str());
  EXPECT_EQ("value", ini_.GetString("Sec", "key", "D"));
}

// A section of `count` lines "kNNN=" plus `value_length` bytes each.
std::string BigSection(int count, std::size_t value_length, std::string* lines) {
  std::string file = "[Big]\r\n";
  lines->clear();
  for (int i = 0; i < count; ++i) {
    const std::string line = "k" + std::to_string(100 + i) + "=" + std::string(value_length, 'x');
    file += line + "\r\n";
    lines->append(line).push_back('\0');
  }
  return file + "[After]\r\nz=1\r\n";
}

TEST_F(IniFileTest, SectionSizeQueryAroundTheStep) {
  // One line of n bytes lists as n + 1; the query answers n + 3.
  const std::size_t line_lengths[] = {5, 507, 508, 509, 510, 1019, 1020, 1021, 3000};
  for (std::size_t length : line_lengths) {
    SCOPED_TRACE(length);
    std::string lines;
    Write(BigSection(1, length - 5, &lines));
    EXPECT_EQ(static_cast<int>(length) + 3, ini_.GetSectionData("Big", nullptr, 0));
  }
  std::string lines;
  Write(BigSection(100, 20, &lines));
  ASSERT_GT(lines.size(), 512u);
  const int needed = ini_.GetSectionData("Big", nullptr, 0);
  EXPECT_EQ(static_cast<int>(lines.size()) + 2, needed);

  std::vector<char> buffer(needed, '#');
  EXPECT_EQ(needed - 2, ini_.GetSectionData("Big", buffer.data(), needed));
  EXPECT_EQ(lines + '\0', std::string(buffer.data(), buffer.size() - 1));

  EXPECT_EQ(2, ini_.GetSectionData("Missing", nullptr, 0));
  EXPECT_EQ(0, ini_.GetSectionData(nullptr, nullptr, 0));
  char small[4] = {'#', '#', '#', '#'};
  EXPECT_EQ(0, ini_.GetSectionData(nullptr, small, sizeof small));
  EXPECT_EQ('\0', small[0]);
}

TEST_F(IniFileTest, KeyNamesSkipLinesWithoutAKey) {
  Write("[Sec]\r\n  alpha \t= 1\r\nbare word\r\n=no key\r\n;c=3\r\n\tbeta=2\r\n[Next]\r\nx=1\r\n");
  Names keys;
  ini_.GetKeyList("Sec", &keys);
  EXPECT_EQ((Names{"alpha", "beta"}), keys);
  EXPECT_EQ(11, ini_.GetKeyNames("Sec", nullptr, 0));
}

TEST_F(IniFileTest, KeyNamesIntoSmallBuffers) {
  Write("[Sec]\r\nalpha=1\r\nbeta=2\r\n");
  const struct {
    int size;
    int total;
    std::string bytes;  // then '#' up to the guard
  } cases[] = {
      {64, 11, "alpha\0beta\0\0"s}, {12, 11, "alpha\0beta\0\0"s}, {11, 10, "alpha\0bet\0\0"s},
      {8, 6, "alpha\0\0"s},         {7, 6, "alpha\0\0"s},         {6, 5, "alph\0\0"s},
      {3, 2, "a\0\0"s},             {2, 0, "\0"s},                {1, 0, "\0"s},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.size);
    std::vector<char> buffer(80, '#');
    EXPECT_EQ(c.total, ini_.GetKeyNames("Sec", buffer.data(), c.size));
    EXPECT_EQ(c.bytes, std::string(buffer.data(), c.bytes.size()));
    EXPECT_EQ(std::string(80 - c.size, '#'), std::string(buffer.data() + c.size, 80 - c.size))
        << "written past the buffer";
  }
  char buffer[4] = {'#', '#', '#', '#'};
  EXPECT_EQ(0, ini_.GetKeyNames(nullptr, buffer, sizeof buffer));
  EXPECT_EQ('\0', buffer[0]);
}

TEST_F(IniFileTest, KeyListOfALargeSection) {
  std::string lines;
  Write(BigSection(100, 20, &lines));
  Names keys;
  ini_.GetKeyList("Big", &keys);
  ASSERT_EQ(100u, keys.size());
  EXPECT_EQ("k100", keys.front());
  EXPECT_EQ("k199", keys.back());
}

TEST_F(IniFileTest, KeyListKeepsOrderAndRepeats) {
  Write("[Sec]\r\nb=1\r\na=2\r\nB=3\r\n");
  Names keys{"stale"};
  ini_.GetKeyList("Sec", &keys);
  EXPECT_EQ((Names{"b", "a", "B"}), keys);
  ini_.GetKeyList("Missing", &keys);
  EXPECT_TRUE(keys.empty());
  ini_.GetKeyList("Sec", nullptr);
}

}  // namespace
}  // namespace ovsetup
