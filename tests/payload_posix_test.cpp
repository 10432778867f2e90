// Behaviour of the Linux stand-in that only the host can provoke.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "payload/payload_archive.h"
#include "tests/support/payload_image.h"
#include "tests/support/temp_folder.h"

namespace ovsetup {
namespace {

using testing::PayloadImage;

// A full disk must never be reported as success.
TEST(ExtractionOnLinux, ShortWriteFails) {
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  testing::TempFolder dir;
  PayloadImage image;
  image.Add("full", "cannot land");
  testing::WriteHostFile(dir.Host("setup.exe"), image.Finish());
  const payload::PayloadArchive archive(dir.core() + "setup.exe");
  EXPECT_EQ(payload::PayloadFault::kBodyWrite,
            archive.Extract("\\dev\\", payload::Selection::kAll).fault);
}

TEST(ExtractionOnLinux, ContourFailsWithoutAWindowsFolder) {
  testing::TempFolder dir;
  PayloadImage image;
  image.Add("QVTPrograms\\a.txt", "a");
  image.Add("Contour\\c.dat", "c");
  testing::WriteHostFile(dir.Host("setup.exe"), image.Finish());
  const char* saved = std::getenv("OVSETUP_WINDIR");
  const std::string keep = saved ? saved : "";
  unsetenv("OVSETUP_WINDIR");
  const payload::PayloadArchive archive(dir.core() + "setup.exe");
  const payload::WalkResult result = archive.Extract(dir.core(), payload::Selection::kAll);
  if (saved) setenv("OVSETUP_WINDIR", keep.c_str(), 1);
  EXPECT_EQ(payload::PayloadFault::kWindowsFolder, result.fault);
  EXPECT_EQ(1u, result.entry);
  EXPECT_TRUE(std::filesystem::exists(dir.Host("QVTPrograms/a.txt")));
}

}  // namespace
}  // namespace ovsetup
