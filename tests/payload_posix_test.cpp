// Behaviour of the Linux stand-in that only the host can provoke.
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>

#include "payload/payload_archive.h"
#include "tests/support/payload_image.h"
#include "tests/support/temp_folder.h"

namespace ovsetup {
namespace {

using testing::PayloadImage;

// A short write must never be reported as success, nor leave anything.
TEST(ExtractionOnLinux, ShortWriteFails) {
  testing::TempFolder dir;
  PayloadImage image;
  image.Add("full", std::string(5000, 'f'));
  testing::WriteHostFile(dir.Host("setup.exe"), image.Finish());
  std::filesystem::create_directories(dir.Host("out"));
  const payload::PayloadArchive archive(dir.core() + "setup.exe");
  // Files may not grow past 1000 bytes: the write comes up short (EFBIG).
  rlimit saved;
  getrlimit(RLIMIT_FSIZE, &saved);
  rlimit limit = saved;
  limit.rlim_cur = 1000;
  signal(SIGXFSZ, SIG_IGN);
  setrlimit(RLIMIT_FSIZE, &limit);
  const payload::WalkResult result = archive.Extract(dir.core() + "out\\", payload::Selection::kAll);
  setrlimit(RLIMIT_FSIZE, &saved);
  EXPECT_EQ(payload::PayloadFault::kBodyWrite, result.fault);
  EXPECT_TRUE(std::filesystem::is_empty(dir.Host("out")));
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
  EXPECT_FALSE(std::filesystem::exists(dir.Host("QVTPrograms")));
}

}  // namespace
}  // namespace ovsetup
