// What a user without rights can do to the elevated setup, tried on the Linux
// stand-in with real links: each attack lays its link or swaps its file at a
// moment it chooses (a progress call, a deletion), and afterwards the folder
// the links lead to holds exactly what it held.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "drivers/mdmcpq_store.h"
#include "install/file_tree.h"
#include "install/install_job.h"
#include "install/kept_copy.h"
#include "payload/payload_archive.h"
#include "payload/staged_files.h"
#include "platform/process.h"
#include "tests/support/payload_image.h"
#include "tests/support/temp_folder.h"

namespace ovsetup {
namespace {

namespace fs = std::filesystem;
using testing::ReadHostFile;
using testing::WriteHostFile;

// Calls `act` once, at the first piece of an extraction.
class ActAtFirstPiece : public payload::ExtractionProgress {
 public:
  explicit ActAtFirstPiece(std::function<void()> act) : act_(std::move(act)) {}
  void Advance(std::uint64_t, std::uint64_t) override {
    if (act_) std::exchange(act_, nullptr)();
  }

 private:
  std::function<void()> act_;
};

// The shared scene: a setup holding "a.txt", a target folder "out" and the
// victim's folder with its one file.
struct Scene {
  testing::TempFolder dir;
  Scene() {
    WriteHostFile(dir.Host("victim/keep.txt"), "victim's");
    WriteHostFile(dir.Host("setup.exe"), Payload("setup's"));
    fs::create_directories(dir.Host("out"));
  }
  static std::string Payload(const std::string& body, const std::string& path = "a.txt") {
    testing::PayloadImage image;
    image.Add(path, body);
    return image.Finish();
  }
  // Extracts setup.exe into "out", telling `progress`.
  payload::WalkResult Extract(payload::ExtractionProgress* progress = nullptr) const {
    return payload::PayloadArchive(Core("setup.exe"))
        .Extract(Core("out") + "\\", payload::Selection::kAll, progress);
  }
  payload::WalkResult ExtractSub() const {
    WriteHostFile(dir.Host("setup.exe"), Payload("setup's", "Sub\\b.txt"));
    return Extract();
  }
  void Link(const std::string& at, const std::string& to = "victim/keep.txt") const {
    fs::create_directories(dir.Host(at).parent_path());
    fs::create_symlink(dir.Host(to), dir.Host(at));
  }
  std::string Core(const std::string& relative) const { return testing::CorePath(dir.Host(relative)); }
  // A link at `at` to the victim's folder, owned by another user; false, with
  // a line, where none can be made (not root).
  bool ForeignLink(const std::string& at) const {
    if (::geteuid() != 0) {
      std::puts("skipped: not root, so no link owned by another user");
      return false;
    }
    Link(at, "victim");
    EXPECT_EQ(0, ::lchown(dir.Host(at).c_str(), 65534, 65534));
    return true;
  }
  // Every path below "out", links not followed.
  std::set<std::string> Out() const {
    std::set<std::string> paths;
    for (const auto& entry : fs::recursive_directory_iterator(dir.Host("out")))
      paths.insert(entry.path().string());
    return paths;
  }
  // Install `type` into "out" (with acad.exe for AutoCAD), a settings file
  // beside the setup, `link` a link of another user: nothing is written, the
  // untrusted-link text is the one shown, and the install does not succeed.
  void InstallPastForeignLink(int type, const std::string& link) {
    testing::PayloadImage image;
    for (const char* path : {"QVTCad\\QVTSrtCad.dll", "QVTCad\\acad.dvb", "QVTCad\\acad_EN.lsp",
                             "QVTCad\\acad_CH.lsp", "QVTFonts\\txt.shx"})
      image.Add(path, "setup's");
    WriteHostFile(dir.Host("setup.exe"), image.Finish());
    WriteHostFile(dir.Host("QVTCfg/x.ini"), "medium's");
    WriteHostFile(dir.Host("out/acad.exe"), "");
    if (!ForeignLink(link)) return;
    const std::set<std::string> before = Out();
    install::InstallChoices choices;
    choices.language_index = 1;
    choices.install_type = type;
    choices.install_path = Core("out");
    struct : install::MessageSink {
      void ShowMessage(const char* text) override { shown.push_back(text); }
      std::vector<std::string> shown;
    } sink;
    int succeeded = 7;
    install::RunInstallJob(choices, *testing::HeldSetup(Core("setup.exe")), sink, succeeded);
    EXPECT_EQ(0, succeeded);
    const char* const untrusted = install::MessageSetFor(install::LanguageIndex(1)).untrusted_link;
    EXPECT_EQ(std::vector<std::string>{untrusted}, sink.shown);
    EXPECT_EQ(before, Out());
  }
};

struct Attack {
  const char* name;
  std::function<void(Scene&)> run;  // attacks and checks what it alone shows
};

const Attack kAttacks[] = {
    {"setup file swapped during the first of two extractions",
     [](Scene& s) {
       const auto setup = testing::HeldSetup(s.Core("setup.exe"));
       const payload::PayloadArchive archive(*setup);
       ActAtFirstPiece swap([&s] {
         WriteHostFile(s.dir.Host("other.exe"), Scene::Payload("other's"));
         fs::rename(s.dir.Host("other.exe"), s.dir.Host("setup.exe"));
       });
       ASSERT_TRUE(archive.Extract(s.Core("out") + "\\", payload::Selection::kAll, &swap).ok());
       fs::create_directories(s.dir.Host("second"));
       ASSERT_TRUE(archive.Extract(s.Core("second") + "\\", payload::Selection::kAll).ok());
       EXPECT_EQ("setup's", ReadHostFile(s.dir.Host("second/a.txt")));
     }},
    {"link laid at the staged name after the clean-up",
     [](Scene& s) {
       ActAtFirstPiece lay([&s] { s.Link("out/~ovsetup-000.new"); });
       ASSERT_TRUE(s.Extract(&lay).ok());
       EXPECT_EQ("setup's", ReadHostFile(s.dir.Host("out/a.txt")));
     }},
    {"link laid at the old content's name",
     [](Scene& s) {
       WriteHostFile(s.dir.Host("out/a.txt"), "old");
       ActAtFirstPiece lay([&s] { s.Link("out/~ovsetup-000.old"); });
       ASSERT_TRUE(s.Extract(&lay).ok());
       EXPECT_EQ("setup's", ReadHostFile(s.dir.Host("out/a.txt")));
     }},
    {"leftover links of both name forms are removed as links",
     [](Scene& s) {
       s.Link("out/~ovsetup-001.new");
       s.Link("out/~ovsetup-002-0123abcd.old", "victim");
       payload::ProgressCount count;
       payload::RemoveLeftovers(s.Core("out") + "\\", count);
       EXPECT_TRUE(fs::is_empty(s.dir.Host("out")));
     }},
    {"folder swapped for a link while it is emptied",
     [](Scene& s) {
       for (int i = 0; i < 50; ++i) WriteHostFile(s.dir.Host("out/QVTCad/f" + std::to_string(i)), "");
       WriteHostFile(s.dir.Host("victim/f7"), "victim's too");
       bool swapped = false;
       install::EmptyFolder(s.Core("out/QVTCad"), [&](std::uint64_t) {
         if (std::exchange(swapped, true)) return;
         fs::rename(s.dir.Host("out/QVTCad"), s.dir.Host("out/moved"));
         s.Link("out/QVTCad", "victim");
       });
       EXPECT_TRUE(fs::exists(s.dir.Host("victim/f7")));
       fs::remove(s.dir.Host("victim/f7"));
     }},
    {"links at the settings copy's scratch, record and target names",
     [](Scene& s) {
       WriteHostFile(s.dir.Host("media/QVTCfg/SoftCfg.ini"), "[BaseCfg]\r\n");
       WriteHostFile(s.dir.Host("media/QVTCfg/x.ini"), "medium's");
       WriteHostFile(s.dir.Host("out/QVTCfg/SoftCfg.ini"), "[BaseCfg]\r\nLanguage=9\r\n");
       s.Link("out/QVTCfg/SoftCfg.ini.new");
       s.Link("out/QVTCfg/QVTSetup.rec.new");
       s.Link("out/QVTCfg/x.ini");
       install::CopySettingsFilesKeepingOld(s.Core("media/QVTCfg"), s.Core("out/QVTCfg"), 2);
       EXPECT_EQ("medium's", ReadHostFile(s.dir.Host("out/QVTCfg/x.ini")));
       EXPECT_FALSE(fs::is_symlink(s.dir.Host("out/QVTCfg/x.ini")));
     }},
    {"settings beside the setup: a link and a second name",
     [](Scene& s) {
       s.Link("media/Res/secret.txt");
       WriteHostFile(s.dir.Host("media/Res/plain.txt"), "plain");
       fs::create_hard_link(s.dir.Host("media/Res/plain.txt"), s.dir.Host("media/Res/second.txt"));
       WriteHostFile(s.dir.Host("media/Res/own.txt"), "own");
       install::CopyFolderFiles(s.Core("media/Res"), s.Core("out"));
       EXPECT_TRUE(fs::exists(s.dir.Host("out/own.txt")));
       for (const char* name : {"secret.txt", "plain.txt", "second.txt"})
         EXPECT_FALSE(fs::exists(s.dir.Host(std::string("out/") + name))) << name;
     }},
    {"link of another user among the folders written",
     [](Scene& s) {
       if (!s.ForeignLink("out/Sub")) return;
       EXPECT_EQ(payload::PayloadFault::kUntrustedLink, s.ExtractSub().fault);
     }},
    {"program install: an installed settings folder a link of another user",
     [](Scene& s) { s.InstallPastForeignLink(0, "out/Orvane/QVTCfg"); }},
    {"AutoCAD install: its Fonts folder a link of another user",
     [](Scene& s) { s.InstallPastForeignLink(2, "out/Fonts"); }},
    {"installed settings folder a link of another user",
     [](Scene& s) {
       WriteHostFile(s.dir.Host("media/QVTCfg/x.ini"), "medium's");
       if (!s.ForeignLink("out/QVTCfg")) return;
       install::CopySettingsFilesKeepingOld(s.Core("media/QVTCfg"), s.Core("out/QVTCfg"), 2);
       install::CopyFolderFiles(s.Core("media/QVTCfg"), s.Core("out/QVTCfg"));
       EXPECT_EQ(install::Delivery::UntrustedFolder,
                 install::DeliverFile(s.Core("media/QVTCfg/x.ini"), s.Core("out/QVTCfg/x.ini"),
                                      install::KeepOld::No));
     }},
    {"link of the setup's own user, in a folder only it writes, is followed",
     [](Scene& s) {
       s.Link("out/Sub", "elsewhere");
       fs::create_directories(s.dir.Host("elsewhere"));
       EXPECT_TRUE(s.ExtractSub().ok());
       EXPECT_EQ("setup's", ReadHostFile(s.dir.Host("elsewhere/b.txt")));
     }},
    {"hostile store folder name in the device log",
     [](Scene&) {
       const std::string log = "\\mdmcpq.inf_/../../../victim\\ \\mdmcpq.inf_amd64_0123456789\\";
       std::string name;
       ASSERT_TRUE(drivers::ScanForMdmcpqStoreFolder(log.data(), log.size(), &name));
       EXPECT_EQ("mdmcpq.inf_amd64_0123456789", name);
     }},
    {"the driver installer's current folder",
     [](Scene& s) {
       WriteHostFile(s.dir.Host("out/QVTDriver/InstallDriver.exe"),
                     "pwd > \"" + s.dir.Host("cwd").string() + "\"\n");
       platform::ChildProcess child;
       ASSERT_TRUE(child.Start(s.Core("out/QVTDriver/InstallDriver.exe")));
       ASSERT_TRUE(child.WaitForEnd(10000));
       EXPECT_EQ(s.dir.Host("out/QVTDriver").string() + "\n", ReadHostFile(s.dir.Host("cwd")));
     }},
};

TEST(Tampering, NothingLandsInOrLeavesTheLinksTarget) {
  for (const Attack& attack : kAttacks) {
    SCOPED_TRACE(attack.name);
    Scene scene;
    attack.run(scene);
    std::vector<std::string> victim;
    for (const auto& entry : fs::directory_iterator(scene.dir.Host("victim")))
      victim.push_back(entry.path().filename().string());
    EXPECT_EQ(std::vector<std::string>{"keep.txt"}, victim);
    EXPECT_EQ("victim's", ReadHostFile(scene.dir.Host("victim/keep.txt")));
  }
}

}  // namespace
}  // namespace ovsetup
