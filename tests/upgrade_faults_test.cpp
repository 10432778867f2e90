// An upgrade over a real existing install that meets one fault: each leaves
// every file of the install exactly as it was, with its own text; without a
// fault, every file is the new one and no temporary file is left.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "install/install_job.h"
#include "platform/file_io.h"
#include "tests/support/payload_image.h"
#include "tests/support/temp_folder.h"
#ifndef _WIN32
#include <sys/mount.h>
#endif

namespace fs = std::filesystem;

namespace ovsetup {
namespace {

using testing::WriteHostFile;

const install::MessageSet kEnglish = install::MessageSetFor(install::LanguageIndex(2));
const char* const kPaths[] = {"QVTPrograms\\Orvane.exe", "QVTPrograms\\lib.dll",
                              "QVTFonts\\txt.shx",       "QVTCad\\QVTSrtCad.dll",
                              "QVTCad\\QVTStart.bmp",    "QVTCad\\acad.dvb",
                              "QVTCad\\acad_EN.lsp",     "QVTCad\\acad_CH.lsp"};

// The payload of one release: every entry's body names the release, sizes
// differ between releases; `extra` adds one entry of `extra_size` bytes.
std::string Release(const std::string& name, const std::string& extra = "",
                    std::size_t extra_size = 1) {
  testing::PayloadImage image;
  for (const char* path : kPaths) image.Add(path, name + " " + path);
  if (!extra.empty()) image.Add(extra, std::string(extra_size, 'x'));
  return testing::WithIntegrityRecord(image.Finish());
}

class Sink : public install::MessageSink {
 public:
  void ShowMessage(const char* text) override { messages.push_back(text); }
  std::vector<std::string> messages;
};

// Every file below `root`, by relative path, with its bytes.
std::map<std::string, std::string> Snapshot(const fs::path& root) {
  std::map<std::string, std::string> files;
  for (auto& e : fs::recursive_directory_iterator(root))
    if (e.is_regular_file())
      files[fs::relative(e.path(), root).generic_string()] = testing::ReadHostFile(e.path());
  return files;
}

struct Fault {
  const char* name;
  int type;                    // 0 program, 2 AutoCAD (manual)
  const char* held;            // a file of the install a program holds open
  std::string setup;           // the new setup
  std::string message;         // what the user reads; "" for success
  std::size_t short_disk = 0;  // the install's volume holds this many bytes
};

TEST(UpgradeFaults, EachLeavesTheInstallAsItWas) {
  std::string damaged = Release("new");
  damaged[damaged.size() / 2] ^= 1;
  const std::string long_name = "QVTPrograms\\" + std::string(250, 'L') + ".dll";
  const Fault faults[] = {
      {"none", 0, nullptr, Release("new"), ""},
      {"program running", 0, "Orvane/QVTPrograms/lib.dll", Release("new"), kEnglish.program_running},
      {"AutoCAD holds its add-in", 2, "acad/QVTSrtCad.dll", Release("new"), kEnglish.close_acad},
      {"AutoCAD holds acad.lsp", 2, "acad/acad.lsp", Release("new"), kEnglish.close_acad},
      {"damaged setup", 0, nullptr, damaged, kEnglish.setup_damaged},
      {"path too long", 0, nullptr, Release("new", long_name), kEnglish.path_too_long},
      {"short disk", 0, nullptr, Release("new", "QVTPrograms\\big.dll", 3 << 20),
       "Not enough free disk space: 5 MB are needed on ", 2 << 20},
  };
  for (const Fault& fault : faults) {
    SCOPED_TRACE(fault.name);
    testing::TempFolder dir;
    const fs::path root = dir.Host("root");
    fs::create_directories(root);
    if (fault.short_disk != 0) {
#ifdef _WIN32
      continue;  // no volume of a chosen size under Wine
#else
      const std::string size = "size=" + std::to_string(fault.short_disk);
      if (mount("tmpfs", root.c_str(), "tmpfs", 0, size.c_str()) != 0) {
        ADD_FAILURE() << "cannot mount a small volume (needs root)";
        continue;
      }
#endif
    }
    WriteHostFile(dir.Host("media/QVTCfg/SoftCfg.ini"), "[BaseCfg]\r\n");
    WriteHostFile(root / "acad/acad.exe", "");
    WriteHostFile(root / "acad/acad.lsp", "user lisp");
    install::InstallChoices choices;
    choices.install_type = fault.type;
    choices.language_index = 2;
    choices.install_path = testing::CorePath(root / (fault.type == 2 ? "acad" : ""));
    Sink sink;
    int succeeded = 0;
    const std::string setup = testing::CorePath(dir.Host("media/setup.exe"));
    WriteHostFile(dir.Host("media/setup.exe"), Release("old"));
    install::RunInstallJob(choices, *testing::HeldSetup(setup), sink, succeeded);
    ASSERT_EQ(1, succeeded);
    const std::map<std::string, std::string> before = Snapshot(root);

    WriteHostFile(dir.Host("media/setup.exe"), fault.setup);
    platform::InputFile held;
    if (fault.held) {
      ASSERT_TRUE(held.Open(testing::CorePath(root / fault.held)));
    }
    sink.messages.clear();
    install::RunInstallJob(choices, *testing::HeldSetup(setup), sink, succeeded);
    const std::map<std::string, std::string> after = Snapshot(root);
    if (fault.message.empty()) {
      EXPECT_EQ(1, succeeded);
      EXPECT_TRUE(sink.messages.empty());
      for (const auto& [path, bytes] : after)
        EXPECT_EQ(std::string::npos, bytes.find("old ")) << path;
      EXPECT_EQ(before.size(), after.size());  // no temporary file left
    } else {
      EXPECT_EQ(0, succeeded);
      EXPECT_EQ(1u, sink.messages.size());
      sink.messages.resize(1);
      EXPECT_EQ(0u, sink.messages[0].find(fault.message)) << sink.messages[0];
      EXPECT_EQ(before, after);
    }
#ifndef _WIN32
    if (fault.short_disk != 0) umount(root.c_str());
#endif
  }
}

#ifndef _WIN32
// A volume is asked for room only when something is written to it, and then
// for the settings folders' bytes too (a program install onto a small
// volume of its own).
TEST(UpgradeFaults, SpaceIsAskedForWhatIsWritten) {
  const struct {
    const char* name;
    std::string setup;
    std::size_t doc_size;  // 0: no settings folders beside the setup
    const char* message;   // "" for success
  } cases[] = {
      {"N = 1, nothing written", testing::PayloadImage().Finish(), 0, ""},
      {"settings folders counted", Release("new"), 2 << 20,
       "Not enough free disk space: 4 MB are needed on "},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    testing::TempFolder dir;
    const fs::path root = dir.Host("root");
    fs::create_directories(root);
    if (mount("tmpfs", root.c_str(), "tmpfs", 0, "size=2m") != 0) {
      ADD_FAILURE() << "cannot mount a small volume (needs root)";
      continue;
    }
    WriteHostFile(dir.Host("media/setup.exe"), c.setup);
    if (c.doc_size != 0) WriteHostFile(dir.Host("media/QVTDoc/video.mp4"), std::string(c.doc_size, 'v'));
    // Filled to less than its margin of 1 MiB.
    WriteHostFile(root / "filler", std::string(c.doc_size != 0 ? 0 : 1200 << 10, 'f'));
    install::InstallChoices choices;
    choices.language_index = 2;
    choices.install_path = testing::CorePath(root);
    Sink sink;
    int succeeded = 0;
    install::RunInstallJob(choices, *testing::HeldSetup(testing::CorePath(dir.Host("media/setup.exe"))), sink,
                           succeeded);
    sink.messages.resize(1);
    EXPECT_EQ(0u, sink.messages[0].find(c.message)) << sink.messages[0];
    EXPECT_EQ(*c.message == '\0' ? 1 : 0, succeeded);
    umount(root.c_str());
  }
}
#endif

}  // namespace
}  // namespace ovsetup
