// What each build's shortcut writer puts on disk and reports. The fields are
// read back by lnkinfo in shortcut_lnkinfo_test.sh; here the header bytes the
// installs rely on, the results and the path limit.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include "platform/shell_link.h"
#include "tests/support/temp_folder.h"

namespace fs = std::filesystem;

namespace ovsetup {
namespace {

using platform::ComResult;
using platform::CreateShortcut;
using platform::CreateShortcutWithIcon;
using testing::ReadHostFile;
using testing::TempFolder;
using testing::WriteHostFile;

const char kTarget[] = "C:\\Program Files\\Orvane\\Orvane.exe";
const char kIcon[] = "C:\\Program Files\\Orvane\\Orvane.ico";

std::uint32_t U32(const std::string& bytes, std::size_t at) {
  std::uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(bytes.at(at + i));
  return v;
}

ComResult Write(bool with_icon, const std::string& link) {
  return with_icon ? CreateShortcutWithIcon(kTarget, link, kTarget, kIcon)
                   : CreateShortcut(kTarget, link, kTarget);
}

TEST(Shortcut, HeaderOfBothVariants) {
  const std::string kShellLinkClsid("\x01\x14\x02\x00\x00\x00\x00\x00\xC0\x00\x00\x00\x00\x00\x00\x46",
                                    16);
  TempFolder dir;
  for (bool with_icon : {false, true}) {
    SCOPED_TRACE(with_icon ? "with icon" : "without icon");
    WriteHostFile(dir.Host("Orvane.lnk"), "an older file, longer than nothing at all");
    ASSERT_GE(Write(with_icon, dir.core() + "Orvane.lnk"), 0);
    const std::string bytes = ReadHostFile(dir.Host("Orvane.lnk"));
    ASSERT_GE(bytes.size(), 0x4Cu);
    EXPECT_EQ(0x4Cu, U32(bytes, 0));
    EXPECT_EQ(kShellLinkClsid, bytes.substr(4, 16));
    const std::uint32_t flags = U32(bytes, 0x14);
    EXPECT_EQ(0x02u, flags & 0x02) << "HasLinkInfo";
    EXPECT_EQ(0x04u, flags & 0x04) << "HasName";
    EXPECT_EQ(with_icon ? 0x40u : 0u, flags & 0x40) << "HasIconLocation";
    EXPECT_EQ(0u, flags & 0x30) << "no working folder, no arguments";
    EXPECT_EQ(0u, U32(bytes, 0x38)) << "icon index";
    EXPECT_EQ(5u, U32(bytes, 0x3C)) << "ShowCommand SW_SHOW";
    EXPECT_EQ(0u, U32(bytes, 0x40) & 0xFFFF) << "hot key";
  }
}

TEST(Shortcut, FolderThatDoesNotExistFails) {
  TempFolder dir;
  for (bool with_icon : {false, true}) {
    EXPECT_LT(Write(with_icon, dir.core() + "absent\\Orvane.lnk"), 0);
    EXPECT_FALSE(fs::exists(dir.Host("absent")));
  }
}

// The link path goes into 260 UTF-16 characters with its terminator.
TEST(Shortcut, LinkPathOf259CharactersIsTheLongest) {
  TempFolder dir;
  const std::string folder = dir.core();
  ASSERT_LT(folder.size() + 5, 259u);
  const std::string name259(259 - folder.size() - 4, 'n');
  const std::string name260 = name259 + "N";
  EXPECT_GE(CreateShortcut(kTarget, folder + name259 + ".lnk", kTarget), 0);
  EXPECT_TRUE(fs::exists(dir.Host(name259 + ".lnk")));
  EXPECT_EQ(platform::kLinkPathTooLong, CreateShortcut(kTarget, folder + name260 + ".lnk", kTarget));
  EXPECT_EQ(platform::kLinkPathTooLong,
            CreateShortcutWithIcon(kTarget, folder + name260 + ".lnk", kTarget, kIcon));
  EXPECT_FALSE(fs::exists(dir.Host(name260 + ".lnk")));
}

}  // namespace
}  // namespace ovsetup
