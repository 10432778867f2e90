// Behaviour of the Linux stand-in that only the host can provoke.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <map>

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

// Counts the progress calls; kills its own process at call `kill_at`.
class KillingProgress : public payload::ExtractionProgress {
 public:
  explicit KillingProgress(int kill_at) : kill_at_(kill_at) {}
  void Advance(std::uint64_t, std::uint64_t) override {
    if (++calls == kill_at_) raise(SIGKILL);
  }
  int calls = 0;

 private:
  const int kill_at_;
};

// An upgrade killed at a dozen moments, from the first piece staged to the
// last rename: every file holds its old content or its new one, whole, and
// the next run completes the upgrade and leaves no temporary file.
TEST(ExtractionOnLinux, KilledUpgradeLeavesWholeFilesAndTheNextRunCompletesIt) {
  std::map<std::string, std::string> old_files, new_files;
  PayloadImage old_image, new_image;
  for (int i = 0; i < 8; ++i) {
    const std::string path = "QVTPrograms/f" + std::to_string(i);
    old_files[path] = std::string(1000 + i, 'o');
    new_files[path] = std::string(700000 + 1000 * i, static_cast<char>('a' + i));  // two pieces
  }
  new_files["QVTPrograms/added"] = "only in the upgrade";
  for (auto* files : {&old_files, &new_files})
    for (const auto& [path, body] : *files)
      (files == &old_files ? old_image : new_image).Add("QVTPrograms\\" + path.substr(12), body);
  testing::TempFolder dir;
  testing::WriteHostFile(dir.Host("new.exe"), testing::WithIntegrityRecord(new_image.Finish()));
  testing::WriteHostFile(dir.Host("old.exe"), old_image.Finish());
  const payload::PayloadArchive upgrade(dir.core() + "new.exe");
  const std::string target = dir.core() + "out\\";
  std::filesystem::create_directories(dir.Host("out"));
  KillingProgress count(0);
  ASSERT_TRUE(payload::PayloadArchive(dir.core() + "old.exe").Extract(target, payload::Selection::kAll).ok());
  std::filesystem::create_directories(dir.Host("dry"));  // counts a whole upgrade's calls
  ASSERT_TRUE(upgrade.Extract(dir.core() + "dry\\", payload::Selection::kAll, &count).ok());
  ASSERT_GE(count.calls, 12);
  for (int moment = 1; moment <= 12; ++moment) {
    const int kill_at = moment * count.calls / 12;
    SCOPED_TRACE(kill_at);
    ASSERT_TRUE(payload::PayloadArchive(dir.core() + "old.exe").Extract(target, payload::Selection::kAll).ok());
    const pid_t child = fork();
    if (child == 0) {
      KillingProgress progress(kill_at);
      upgrade.Extract(target, payload::Selection::kAll, &progress);
      _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
    for (const auto& [path, body] : new_files) {
      if (!std::filesystem::exists(dir.Host("out/" + path))) {
        EXPECT_FALSE(old_files.count(path)) << path << " lost";
        continue;
      }
      const std::string now = testing::ReadHostFile(dir.Host("out/" + path));
      EXPECT_TRUE(now == body || (old_files.count(path) && now == old_files[path])) << path;
    }
    ASSERT_TRUE(upgrade.Extract(target, payload::Selection::kAll).ok());
    std::size_t files = 0;
    for (auto& e : std::filesystem::recursive_directory_iterator(dir.Host("out"))) {
      if (!e.is_regular_file()) continue;
      ++files;
      EXPECT_EQ(new_files[e.path().lexically_relative(dir.Host("out")).generic_string()],
                testing::ReadHostFile(e.path()));
    }
    EXPECT_EQ(new_files.size(), files);  // no temporary file left
  }
}

}  // namespace
}  // namespace ovsetup
