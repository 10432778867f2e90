// The Linux stand-in's registry: what it makes of regedit's export formats.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/posix/reg_file.h"
#include "platform/registry.h"
#include "tests/support/temp_folder.h"

namespace ovsetup {
namespace {

using platform::ParseRegFile;
using platform::RegistryKey;
using platform::RegistryRoot;
using platform::RegTree;

const std::string kGbkLaser = "\xBC\xA4\xB9\xE2";  // 激光 in GBK
const std::string kUtf8Laser = "\xE6\xBF\x80\xE5\x85\x89";

// UTF-16LE with a byte-order mark; "@1" and "@2" stand for 激 and 光.
std::string Utf16File(const std::string& text) {
  std::string out = "\xFF\xFE";
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text.compare(i, 2, "@1") == 0) {
      out += "\xC0\x6F";
      ++i;
    } else if (text.compare(i, 2, "@2") == 0) {
      out += "\x49\x51";
      ++i;
    } else {
      out += text[i];
      out += '\0';
    }
  }
  return out;
}

// The data of value `name` of key `path`, or "<none>".
std::string Lookup(const RegTree& tree, const std::string& path, const std::string& name) {
  auto key = tree.find(platform::UpperAnsi(path));
  if (key == tree.end()) return "<no key>";
  auto value = key->second.values.find(platform::UpperAnsi(name));
  return value == key->second.values.end() ? "<none>" : value->second.data;
}

TEST(RegFile, FormatsAndValues) {
  const struct {
    const char* name;
    std::string file;
    std::string key;
    std::string value;
    std::string data;
  } rows[] = {
      {"version 5 in UTF-16",
       Utf16File("Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\@1@2]\r\n"
                 "\"Path\"=\"C:\\\\@1@2\\\\\"\r\n"),
       "SOFTWARE\\" + kGbkLaser, "Path", "C:\\" + kGbkLaser + "\\" + '\0'},
      {"version 5 in UTF-8 with BOM",
       "\xEF\xBB\xBFWindows Registry Editor Version 5.00\n[HKEY_LOCAL_MACHINE\\" + kUtf8Laser +
           "]\n\"" + kUtf8Laser + "\"=\"x\"\n",
       kGbkLaser, kGbkLaser, std::string("x\0", 2)},
      {"REGEDIT4 in GBK", "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\A]\r\n\"P\"=\"" + kGbkLaser + "\"\r\n",
       "A", "P", kGbkLaser + '\0'},
      {"REGEDIT4 in UTF-8", "REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"P\"=\"" + kUtf8Laser + "\"\n", "A",
       "P", kGbkLaser + '\0'},
      {"escapes", "REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"P\"=\"a\\\"b\\\\c\"\n", "A", "P",
       std::string("a\"b\\c\0", 6)},
      {"quoted name with = and blanks", "REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n  \"x=y\" = \"v\"\n", "A",
       "x=y", std::string("v\0", 2)},
      {"default value", "REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n@=\"d\"\n", "A", "", std::string("d\0", 2)},
      {"dword", "REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"N\"=dword:0000ABcd\n", "A", "N",
       std::string("\xCD\xAB\0\0", 4)},
      {"hex over continuation lines",
       "REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"B\"=hex:61,62,\\\n  63,\\\n\t64\n", "A", "B", "abcd"},
      {"hex(2) in REGEDIT4 is ANSI", "REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"E\"=hex(2):25,41,25,00\n",
       "A", "E", std::string("%A%\0", 4)},
      {"hex(7) in version 5 is UTF-16",
       "Windows Registry Editor Version 5.00\n[HKEY_LOCAL_MACHINE\\A]\n"
       "\"M\"=hex(7):61,00,00,00,c0,6f,00,00,00,00\n",
       "A", "M", std::string("a\0\xBC\xA4\0\0", 6)},
      {"removed value", "REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"P\"=\"v\"\n\"P\"=-\n", "A", "P", "<none>"},
      {"later section of the same key, other case",
       "REGEDIT4\n[HKEY_LOCAL_MACHINE\\Soft\\A]\n\"P\"=\"1\"\n[hkey_local_machine\\SOFT\\a]\n\"p\"=\"2\"\n",
       "soft\\a", "P", std::string("2\0", 2)},
      {"comments and blank lines",
       "\r\nREGEDIT4\r\n; [HKEY_LOCAL_MACHINE\\A]\r\n\r\n[HKEY_LOCAL_MACHINE\\B]\r\n  ; \"P\"=\"c\"\r\n",
       "B", "P", "<none>"},
      {"other roots", "REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"P\"=\"u\"\n", "A", "P", "<no key>"},
      {"values after another root's key",
       "REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n[HKEY_USERS\\A]\n\"P\"=\"u\"\n", "A", "P", "<none>"},
      {"bad dword", "REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"N\"=dword:12\n", "A", "N", "<none>"},
      {"bad hex", "REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"B\"=hex:6g\n", "A", "B", "<none>"},
      {"unterminated string", "REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"P\"=\"open\n", "A", "P", "<none>"},
      {"no header", "[HKEY_LOCAL_MACHINE\\A]\n\"P\"=\"v\"\n", "A", "P", "<no key>"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    RegTree tree;
    ParseRegFile(row.file, &tree);
    EXPECT_EQ(row.data, Lookup(tree, row.key, row.value));
  }
}

TEST(RegFile, ParentsExistAndSubkeysSortWithoutCase) {
  RegTree tree;
  ASSERT_TRUE(ParseRegFile(
      "REGEDIT4\n[HKEY_LOCAL_MACHINE\\S\\b]\n[HKEY_LOCAL_MACHINE\\S\\A\\deep]\n"
      "[HKEY_LOCAL_MACHINE\\S\\_x]\n[HKEY_LOCAL_MACHINE\\S\\C]\n[HKEY_LOCAL_MACHINE\\S\\a]\n",
      &tree));
  std::string order;
  for (const auto& subkey : tree.at("S").subkeys) order += subkey.second + " ";
  EXPECT_EQ("A b C _x ", order);  // "_" sorts after the letters as upper case
  EXPECT_EQ(1u, tree.count("S\\A\\DEEP"));
  EXPECT_EQ(1u, tree.at("").subkeys.count("S"));
}

// The stand-in through the seam: OVSETUP_REGISTRY and the Win32 buffer rules.
class StandInRegistry : public ::testing::Test {
 protected:
  void UseFile(const std::string& bytes) {
    testing::WriteHostFile(dir_.Host("hklm.reg"), bytes);
    setenv("OVSETUP_REGISTRY", dir_.Host("hklm.reg").c_str(), 1);
  }
  testing::TempFolder dir_;
};

TEST_F(StandInRegistry, MissingFileIsAnEmptyRegistry) {
  setenv("OVSETUP_REGISTRY", dir_.Host("absent.reg").c_str(), 1);
  RegistryKey key;
  EXPECT_FALSE(key.Open(RegistryRoot::LocalMachine, "SOFTWARE"));
  unsetenv("OVSETUP_REGISTRY");
  EXPECT_FALSE(key.Open(RegistryRoot::LocalMachine, "SOFTWARE"));
}

TEST_F(StandInRegistry, BuffersMustHoldNameOrValueWhole) {
  UseFile("REGEDIT4\n[HKEY_LOCAL_MACHINE\\K\\abcd]\n[HKEY_LOCAL_MACHINE\\K\\e]\n"
          "[HKEY_LOCAL_MACHINE\\K]\n\"V\"=\"1234\"\n");
  RegistryKey key;
  ASSERT_TRUE(key.Open(RegistryRoot::LocalMachine, "k"));
  char name[8];
  std::uint32_t size = 4;  // "abcd" needs 5 with its NUL
  EXPECT_FALSE(key.EnumSubKey(0, name, &size));
  size = 5;
  ASSERT_TRUE(key.EnumSubKey(0, name, &size));
  EXPECT_EQ(4u, size);
  EXPECT_STREQ("abcd", name);
  size = sizeof name;
  ASSERT_TRUE(key.EnumSubKey(1, name, &size));
  EXPECT_STREQ("e", name);
  size = sizeof name;
  EXPECT_FALSE(key.EnumSubKey(2, name, &size));

  char value[8];
  size = 4;
  EXPECT_FALSE(key.QueryValue("V", value, &size));
  size = 5;
  ASSERT_TRUE(key.QueryValue("v", value, &size));
  EXPECT_EQ(std::string("1234\0", 5), std::string(value, size));
}

}  // namespace
}  // namespace ovsetup
