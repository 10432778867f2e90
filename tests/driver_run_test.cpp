// The driver run end to end: a real payload, a real scratch folder (on
// Windows the real system folder), a real installer process.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "drivers/driver_pacing.h"
#include "drivers/driver_run.h"
#include "platform/system_info.h"
#include "tests/support/payload_image.h"
#include "tests/support/temp_folder.h"

namespace fs = std::filesystem;

namespace ovsetup {
namespace {

using testing::PayloadImage;
using testing::TempFolder;

// Records what the run shows, one line per call.
class RecordingWindow : public drivers::DriverRunWindow {
 public:
  void Open() override { events.push_back("open"); }
  void SetBarRange(int low, int high) override {
    events.push_back("range " + std::to_string(low) + ".." + std::to_string(high));
  }
  void SetBarPosition(int position) override { positions.push_back(position); }
  void ShowMessage(const char* text) override { events.push_back(std::string("message ") + text); }
  void Close() override { events.push_back("close"); }

  std::vector<std::string> events;
  std::vector<int> positions;
};

class CountingPacing : public drivers::DriverRunPacing {
 public:
  std::uint32_t GetStepCount() override { return drivers::kDriverSteps; }
  void CyclePause() override { ++pauses; }
  int pauses = 0;
};

enum class Installer { kQuick, kFailureCode, kSlow, kMissing };

// The installer's bytes: a shell script for the Linux stand-in, a tiny
// program built beside the tests for Windows.
std::string InstallerBytes(Installer kind) {
#ifdef _WIN32
  const char* name = kind == Installer::kSlow          ? "installer_slow.exe"
                     : kind == Installer::kFailureCode ? "installer_fails.exe"
                                                       : "installer_quick.exe";
  return testing::ReadHostFile(fs::path(OVSETUP_STAND_IN_DIR) / name);
#else
  return kind == Installer::kSlow          ? "sleep 0.7\n"
         : kind == Installer::kFailureCode ? "exit 3\n"
                                           : "exit 0\n";
#endif
}

const char* const kKit[] = {"QvtWdf0.d",   "QvtWdf1.d",   "QvtWin0.d",    "QvtWin1.d",
                            "UsbDriver.exe", "ftd2xx.dll",  "Qvtvcomdrv.inf", "Qvtvcomdrv.cat",
                            "qvt512m.005", "qvt512u.005", "qvt512m.006",  "qvt512u.006",
                            "qvt512m2.006", "qvt512u2.006"};

std::string DriverPayload(Installer kind) {
  PayloadImage image;
  for (const char* file : kKit) image.Add(std::string("MXDriver\\") + file, file);
  if (kind != Installer::kMissing) image.Add("QVTDriver\\InstallDriver.exe", InstallerBytes(kind));
  image.Add("QVTDriver\\usb.inf", "usb");
  image.Add("QVTDriver\\amd64\\co.dll", "co64");
  image.Add("QVTPrograms\\not-for-drivers.txt", "x");
  return image.Finish();
}

// Files left in the scratch folder's MXDriver, sorted.
std::vector<std::string> KitLeft(const fs::path& scratch) {
  std::vector<std::string> left;
  for (auto& e : fs::directory_iterator(scratch / "MXDriver")) left.push_back(e.path().filename().string());
  std::sort(left.begin(), left.end());
  return left;
}

// One test for all runs: on Windows they share the real system folder.
TEST(DriverRun, Outcomes) {
  TempFolder dir;
#ifndef _WIN32
  fs::create_directories(dir.Host("Windows/system32"));
  setenv("OVSETUP_SYSDIR", dir.Host("Windows/system32").c_str(), 1);
#endif
  std::string system;
  ASSERT_TRUE(platform::GetSystemFolder(&system));
#ifndef _WIN32
  const fs::path host_scratch = dir.Host("Windows/system32");
#else
  const fs::path host_scratch = system;
#endif
  const std::vector<std::string> co_installers = {"QvtWdf0.d", "QvtWdf1.d", "QvtWin0.d", "QvtWin1.d"};
  const std::string setup = dir.core() + "setup.exe";

  struct Case {
    const char* name;
    Installer installer;
    const char* message;
  } cases[] = {
      {"installer ends at once", Installer::kQuick, "Install OK!"},
      {"installer ends with a failure code", Installer::kFailureCode, "Install OK!"},
      {"installer runs a while", Installer::kSlow, "Install OK!"},
      {"installer missing", Installer::kMissing, "error!"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove(host_scratch / "QVTDriver" / "InstallDriver.exe");
    testing::WriteHostFile(dir.Host("setup.exe"), DriverPayload(c.installer));
    RecordingWindow window;
    CountingPacing pacing;
    EXPECT_EQ(1, drivers::RunDriverInstall(*testing::HeldSetup(setup), window, pacing));
    const std::vector<std::string> events = {"open", "range 0..100",
                                             std::string("message ") + c.message, "close"};
    EXPECT_EQ(events, window.events);
    // The ten kit files go, the co-installers and the whole USB kit stay.
    EXPECT_EQ(co_installers, KitLeft(host_scratch));
    EXPECT_EQ("co64", testing::ReadHostFile(host_scratch / "QVTDriver" / "amd64" / "co.dll"));
    EXPECT_FALSE(fs::exists(host_scratch / "QVTPrograms"));

    if (c.installer == Installer::kMissing) {
      EXPECT_TRUE(window.positions.empty());
    } else {
      // Cycle n shows n * 100 / 22 until the end sets 100. The slow
      // installer takes several cycles; a quick one usually ends within the
      // first wait (straight from 0 to 100), but a busy machine may take a
      // cycle or two to start it.
      if (c.installer == Installer::kSlow) {
        ASSERT_GE(window.positions.size(), 3u);
      }
      ASSERT_FALSE(window.positions.empty());
      for (std::size_t n = 1; n < window.positions.size(); ++n)
        EXPECT_EQ(static_cast<int>(n * 100 / 22), window.positions[n - 1]);
      EXPECT_EQ(100, window.positions.back());
      EXPECT_EQ(static_cast<int>(window.positions.size()) - 1, pacing.pauses);
    }
  }

  // A failed extraction says "error!" and deletes nothing.
  testing::WriteHostFile(host_scratch / "MXDriver" / "UsbDriver.exe", "from before");
  testing::WriteHostFile(dir.Host("setup.exe"), "not a setup");
  RecordingWindow window;
  CountingPacing pacing;
  drivers::RunDriverInstall(*testing::HeldSetup(setup), window, pacing);
  EXPECT_EQ((std::vector<std::string>{"open", "range 0..100", "message error!", "close"}),
            window.events);
  EXPECT_EQ("from before", testing::ReadHostFile(host_scratch / "MXDriver" / "UsbDriver.exe"));
  // A setup that fails its integrity record says so, in English, and writes nothing.
  std::string damaged = testing::WithIntegrityRecord(DriverPayload(Installer::kQuick));
  damaged[damaged.size() - 8] ^= 1;
  testing::WriteHostFile(dir.Host("setup.exe"), damaged);
  window.events.clear();
  drivers::RunDriverInstall(*testing::HeldSetup(setup), window, pacing);
  EXPECT_EQ("message The setup file is damaged, please get a new copy!", window.events.at(2));
  EXPECT_EQ("from before", testing::ReadHostFile(host_scratch / "MXDriver" / "UsbDriver.exe"));
  fs::remove_all(host_scratch / "MXDriver");
  fs::remove_all(host_scratch / "QVTDriver");
}

TEST(DriverPacing, PauseFormula) {
  struct Row {
    unsigned r, pause;
  } rows[] = {{0, 250}, {1, 250}, {327, 250}, {328, 251}, {16383, 299}, {32766, 349}, {32767, 350}};
  for (const Row& row : rows)
    EXPECT_EQ(row.pause, drivers::CyclePauseMs(row.r, drivers::kCyclePauseMinMs,
                                               drivers::kCyclePauseMaxMs))
        << row.r;
}

TEST(DriverPacing, CyclePauseLastsADrawnPause) {
  for (int i = 0; i < 50; ++i) {
    const unsigned pause = drivers::DrawCyclePauseMs(drivers::kCyclePauseMinMs,
                                                     drivers::kCyclePauseMaxMs);
    EXPECT_TRUE(pause >= 250 && pause <= 350) << pause;
  }
  const std::uint32_t start = platform::TickCount();
  drivers::StandardDriverPacing().CyclePause();
  EXPECT_GE(platform::TickCount() - start, 250u);
}

}  // namespace
}  // namespace ovsetup
