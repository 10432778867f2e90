// Driver file placement across Windows versions and bitness, through the
// Linux stand-in's OVSETUP_SYSDIR / OVSETUP_WINVER / OVSETUP_WOW64.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>

#include "drivers/driver_placement.h"
#include "tests/support/temp_folder.h"

namespace fs = std::filesystem;

namespace ovsetup {
namespace {

using testing::ReadHostFile;
using testing::WriteHostFile;

const char* const kKitFiles[] = {"QvtWdf0.d",    "QvtWdf1.d",    "QvtWin0.d",   "QvtWin1.d",
                                 "Qvtvcomdrv.inf", "Qvtvcomdrv.cat", "qvt512m.005", "qvt512m.006",
                                 "qvt512m2.006", "qvt512u.005",  "qvt512u.006", "qvt512u2.006"};

const std::string kStore = "System32/DriverStore/FileRepository/mdmcpq.inf_amd64_neutral_0123456789";

// A Windows folder with system32, inf and the driver store, and a kit
// whose every file holds its own name.
class Placement : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* folder : {"Windows/system32/drivers", "Windows/inf",
                               "Windows/System32/DriverStore/FileRepository", "kit"})
      fs::create_directories(dir_.Host(folder));
    for (const char* file : kKitFiles) WriteHostFile(dir_.Host(std::string("kit/") + file), file);
    setenv("OVSETUP_SYSDIR", dir_.Host("Windows/system32").c_str(), 1);
  }
  void TearDown() override {
    unsetenv("OVSETUP_SYSDIR");
    unsetenv("OVSETUP_WINVER");
    unsetenv("OVSETUP_WOW64");
  }
  void Place(const char* version, bool wow64) {
    if (version) setenv("OVSETUP_WINVER", version, 1);
    else unsetenv("OVSETUP_WINVER");
    setenv("OVSETUP_WOW64", wow64 ? "1" : "0", 1);
    drivers::PlaceDriverFiles(dir_.core() + "kit\\");
  }
  // Every file below Windows/, as "relative path=content".
  std::set<std::string> Placed() const {
    std::set<std::string> placed;
    const fs::path root = dir_.Host("Windows");
    for (auto& e : fs::recursive_directory_iterator(root))
      if (e.is_regular_file() && e.path().filename() != "setupapi.dev.log")
        placed.insert(fs::relative(e.path(), root).string() + "=" + ReadHostFile(e.path()));
    return placed;
  }
  void WriteLog() {
    WriteHostFile(dir_.Host("Windows/inf/setupapi.dev.log"),
                  "sto: {Setup Import Driver Package: C:\\Windows\\" + kStore.substr(0, 37) +
                      "\\mdmcpq.inf_amd64_neutral_0123456789\\mdmcpq.inf}\r\n");
  }

  testing::TempFolder dir_;
};

TEST_F(Placement, VersionAndBitnessMatrix) {
  const std::set<std::string> common64 = {"system32/WdfCoInstaller01011.dll=QvtWdf1.d",
                                          "system32/winusbcoinstaller2.dll=QvtWin1.d",
                                          "inf/Qvtvcomdrv.inf=Qvtvcomdrv.inf",
                                          "inf/Qvtvcomdrv.cat=Qvtvcomdrv.cat"};
  const std::set<std::string> common32 = {"system32/WdfCoInstaller01011.dll=QvtWdf0.d",
                                          "system32/winusbcoinstaller2.dll=QvtWin0.d",
                                          "inf/Qvtvcomdrv.inf=Qvtvcomdrv.inf",
                                          "inf/Qvtvcomdrv.cat=Qvtvcomdrv.cat"};
  const std::set<std::string> win7_64 = {"inf/mdmcpq.inf=qvt512m2.006", "inf/usbser.sys=qvt512u2.006",
                                         "system32/drivers/usbser.sys=qvt512u2.006",
                                         kStore + "/mdmcpq.inf=qvt512m2.006",
                                         kStore + "/usbser.sys=qvt512u2.006"};
  const std::set<std::string> win7_32 = {"inf/mdmcpq.inf=qvt512m.006", "inf/usbser.sys=qvt512u.006",
                                         "system32/drivers/usbser.sys=qvt512u.006",
                                         kStore + "/mdmcpq.inf=qvt512m.006",
                                         kStore + "/usbser.sys=qvt512u.006"};
  const std::set<std::string> xp = {"inf/mdmcpq.inf=qvt512m.005", "inf/usbser.sys=qvt512u.005",
                                    "system32/drivers/usbser.sys=qvt512u.005"};
  struct Case {
    const char* version;  // null: the query fails
    bool wow64;
    std::set<std::string> extra;
  } cases[] = {
      {"5.1", false, xp},  {"5.1", true, xp},      {"6.1", false, win7_32}, {"6.1", true, win7_64},
      {"5.0", false, {}},  {"5.2", true, {}},      {"6.0", true, {}},       {"6.2", false, {}},
      {"6.3", true, {}},   {"10.0", true, {}},     {"10.0", false, {}},     {nullptr, true, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.version ? c.version : "no version") + (c.wow64 ? " 64" : " 32"));
    fs::remove_all(dir_.Host("Windows"));
    for (const char* folder : {"Windows/system32/drivers", "Windows/inf",
                               "Windows/System32/DriverStore/FileRepository"})
      fs::create_directories(dir_.Host(folder));
    fs::create_directories(dir_.Host("Windows/" + kStore));  // the system made it
    WriteLog();
    Place(c.version, c.wow64);
    std::set<std::string> want = c.wow64 ? common64 : common32;
    want.insert(c.extra.begin(), c.extra.end());
    EXPECT_EQ(want, Placed());
  }
}

TEST_F(Placement, Windows7WithoutStoreFolderInTheLog) {
  for (const char* log : {"", "no store folder named here\\mdmcpq.inf\r\n"}) {
    SCOPED_TRACE(log);
    if (*log) WriteHostFile(dir_.Host("Windows/inf/setupapi.dev.log"), log);
    Place("6.1", true);
    const std::set<std::string> placed = Placed();
    EXPECT_EQ(7u, placed.size());
    EXPECT_TRUE(placed.count("system32/drivers/usbser.sys=qvt512u2.006"));
    EXPECT_FALSE(fs::exists(dir_.Host("Windows/System32/DriverStore/FileRepository/mdmcpq.inf_x")));
  }
}

// Existing system files are never replaced; a second run rewrites only the
// always-copied rows.
TEST_F(Placement, NoOverwriteRowsKeepExistingFiles) {
  WriteLog();
  fs::create_directories(dir_.Host("Windows/" + kStore));
  for (const std::string& path : {std::string("inf/mdmcpq.inf"), std::string("inf/usbser.sys"),
                                  std::string("system32/drivers/usbser.sys"),
                                  kStore + "/mdmcpq.inf", kStore + "/usbser.sys"})
    WriteHostFile(dir_.Host("Windows/" + path), "system's own");
  WriteHostFile(dir_.Host("Windows/inf/Qvtvcomdrv.inf"), "older kit");
  Place("6.1", true);
  const std::set<std::string> placed = Placed();
  EXPECT_TRUE(placed.count("inf/Qvtvcomdrv.inf=Qvtvcomdrv.inf"));
  EXPECT_TRUE(placed.count("inf/mdmcpq.inf=system's own"));
  EXPECT_TRUE(placed.count(kStore + "/usbser.sys=system's own"));

  // A second run over a first one's result leaves the same files.
  fs::remove_all(dir_.Host("Windows"));
  SetUp();
  WriteLog();
  Place("6.1", false);
  const std::set<std::string> first = Placed();
  WriteHostFile(dir_.Host("kit/qvt512m.006"), "newer");
  WriteHostFile(dir_.Host("kit/Qvtvcomdrv.cat"), "newer cat");
  Place("6.1", false);
  std::set<std::string> second = Placed();
  EXPECT_TRUE(second.count("inf/Qvtvcomdrv.cat=newer cat"));
  second.erase("inf/Qvtvcomdrv.cat=newer cat");
  second.insert("inf/Qvtvcomdrv.cat=Qvtvcomdrv.cat");
  EXPECT_EQ(first, second);
}

TEST_F(Placement, NothingWithoutASystemFolder) {
  unsetenv("OVSETUP_SYSDIR");
  Place("6.1", true);
  EXPECT_TRUE(Placed().empty());
}

TEST_F(Placement, Is64BitWindowsFollowsTheSystem) {
  setenv("OVSETUP_WOW64", "1", 1);
  EXPECT_NE(0, drivers::Is64BitWindows());
  setenv("OVSETUP_WOW64", "0", 1);
  EXPECT_EQ(0, drivers::Is64BitWindows());
}

}  // namespace
}  // namespace ovsetup
