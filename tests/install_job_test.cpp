// The five installs end to end over real folders: a packed setup with the
// settings folders beside it, the registry from fixtures written per test,
// and on Windows the real shell folders.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "install/install_job.h"
#include "platform/path_text.h"
#include "platform/shell_folders.h"
#include "tests/support/payload_image.h"
#include "tests/support/registry_fixture.h"
#include "tests/support/temp_folder.h"

namespace fs = std::filesystem;

namespace ovsetup {
namespace {

using install::InstallChoices;
using testing::ReadHostFile;
using testing::WriteHostFile;

const install::MessageSet kChinese = install::MessageSetFor(install::LanguageIndex(0));
const char* const kFonts[] = {"Fs.shx", "gbcbig.shx", "HT.SHX", "Hztxt.shx", "Khz.shx", "txt.shx"};
const char* const kMacros[] = {"QVTCorel11.gms", "QVTCorel12.gms", "QVTCorelX34.gms",
                               "QVTCorelX5.gms", "QVTCorelEx.gms", "QVTCorelEx64.gms"};

// Every entry holds its own path (+ `release`), so a copied file shows where
// it came from; `without` is left out.
std::string StandardPayload(const std::string& without = "", const std::string& release = "") {
  std::vector<std::string> paths = {
      "QVTPrograms\\Orvane.exe", "QVTPrograms\\Uninstall.exe", "QVTDriver\\usb.inf",
      "QVTDriver\\amd64\\co.dll", "MXDriver\\mdmcpq.inf", "QVTCad\\QVTSrtCad.dll",
      "QVTCad\\QVTStart.bmp", "QVTCad\\acad.dvb", "QVTCad\\acad_CH.lsp", "QVTCad\\acad_EN.lsp",
      "QVTCorel\\companion.dll", "QVTAi\\QVTPlugin.aip", "QVTAi\\QVTPlugin64.aip",
      "QVTAi\\QVTPluginEn.aip", "QVTAi\\QVTPlugin64En.aip"};
  for (const char* font : kFonts) paths.push_back(std::string("QVTFonts\\") + font);
  for (const char* macro : kMacros) paths.push_back(std::string("QVTCorel\\") + macro);
  testing::PayloadImage image;
  for (const std::string& path : paths)
    if (path != without) image.Add(path, path + release);
  return image.Finish();
}

class RecordingSink : public install::MessageSink {
 public:
  void ShowMessage(const char* text) override { messages.push_back(text); }
  std::vector<std::string> messages;
};

// Relative paths of every file below `root` ("/" separators).
std::set<std::string> FilesBelow(const fs::path& root) {
  std::set<std::string> files;
  if (!fs::exists(root)) return files;
  for (auto& e : fs::recursive_directory_iterator(root))
    if (e.is_regular_file()) files.insert(fs::relative(e.path(), root).generic_string());
  return files;
}

class InstallJob : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteHostFile(dir_.Host("media/setup.exe"), StandardPayload());
    WriteHostFile(dir_.Host("media/QVTDoc/manual.pdf"), "manual");
    WriteHostFile(dir_.Host("media/QVTDoc/old/nested.txt"), "not copied");
    WriteHostFile(dir_.Host("media/QVTLanguage/en.lng"), "en");
    WriteHostFile(dir_.Host("media/QVTRes/title.ico"), "icon");
    WriteHostFile(dir_.Host("media/QVTCfg/SoftCfg.ini"), "[BaseCfg]\r\nLanguage=1\r\nUnits=mm\r\n");
#ifndef _WIN32
    for (const char* name : {"desktop", "programs"}) fs::create_directories(dir_.Host(name));
    setenv("OVSETUP_DESKTOP", dir_.Host("desktop").c_str(), 1);
    setenv("OVSETUP_PROGRAMS", dir_.Host("programs").c_str(), 1);
#endif
  }

  // Runs the job; returns the success flag.
  int Run(const InstallChoices& choices, payload::ExtractionProgress* progress = nullptr) {
    sink_.messages.clear();
    int succeeded = 7;
    install::RunInstallJob(choices, *testing::HeldSetup(Core("media/setup.exe")), sink_,
                           succeeded, progress);
    return succeeded;
  }

  // `relative` ("/") below the temp folder, in the core's form.
  std::string Core(const std::string& relative) const {
    return testing::CorePath(dir_.Host(relative));
  }

  // Installs the registry `text` (REGEDIT4 body lines) for this test.
  void UseRegistry(const std::string& text, const std::string& replaced) {
    WriteHostFile(dir_.Host("registry.reg"), "REGEDIT4\r\n\r\n" + text);
    ASSERT_TRUE(testing::UseRegistryFile(dir_.Host("registry.reg"), replaced));
  }

  // A .reg string value holding a core path.
  static std::string RegString(const std::string& text) {
    std::string out;
    for (char c : text) out += c == '\\' ? std::string("\\\\") : std::string(1, c);
    return "\"" + out + "\"";
  }

  testing::TempFolder dir_;
  RecordingSink sink_;
};

TEST_F(InstallJob, ProgramInstallsTheTreeSettingsLanguageAndShortcuts) {
  fs::create_directories(dir_.Host("apps"));
  // A read-only medium: the installed SoftCfg.ini must still take the language.
  fs::permissions(dir_.Host("media/QVTCfg/SoftCfg.ini"), fs::perms::owner_write,
                  fs::perm_options::remove);
  const std::string product = "Orvane Test " + std::to_string(std::rand());
  InstallChoices choices;
  choices.install_type = 0;
  choices.language_index = 2;
  choices.install_path = Core("apps");  // no trailing "\"
  choices.product_name = product;
  ASSERT_EQ(1, Run(choices));
  EXPECT_TRUE(sink_.messages.empty());

  const std::set<std::string> installed = FilesBelow(dir_.Host("apps/Orvane"));
  std::set<std::string> want = {"QVTPrograms/Orvane.exe", "QVTPrograms/Uninstall.exe",
                                "QVTDriver/usb.inf", "QVTDriver/amd64/co.dll",
                                "QVTDoc/manual.pdf", "QVTLanguage/en.lng", "QVTRes/title.ico",
                                "QVTCfg/SoftCfg.ini", "QVTCfg/QVTSetup.rec"};
  for (const char* font : kFonts) want.insert(std::string("QVTFonts/") + font);
  EXPECT_EQ(want, installed);  // no MXDriver, QVTCad, QVTCorel, QVTAi, nested settings
  EXPECT_FALSE(fs::exists(dir_.Host("apps/Orvane/QVTCad")));
  EXPECT_FALSE(fs::exists(dir_.Host("apps/Orvane/QVTAi")));
  const std::string config = ReadHostFile(dir_.Host("apps/Orvane/QVTCfg/SoftCfg.ini"));
  EXPECT_NE(std::string::npos, config.find("Language=3")) << config;
  EXPECT_NE(std::string::npos, config.find("Units=mm")) << config;

  std::string desktop, programs;
  ASSERT_TRUE(platform::GetShellFolder(platform::ShellFolder::kDesktop, &desktop));
  ASSERT_TRUE(platform::GetShellFolder(platform::ShellFolder::kPrograms, &programs));
  const fs::path links[] = {testing::HostPath(desktop) / (product + ".lnk"),
                            testing::HostPath(programs) / "Orvane" / (product + ".lnk"),
                            testing::HostPath(programs) / "Orvane" / "Uninstall.lnk"};
  for (const fs::path& link : links) {
    EXPECT_TRUE(fs::exists(link)) << link;
    fs::remove(link);
  }

  // A re-run in another language rewrites the shipped SoftCfg.ini first.
  choices.language_index = 0;
  ASSERT_EQ(1, Run(choices));
  const std::string again = ReadHostFile(dir_.Host("apps/Orvane/QVTCfg/SoftCfg.ini"));
  EXPECT_NE(std::string::npos, again.find("Language=1")) << again;
  EXPECT_EQ(std::string::npos, again.find("Language=3")) << again;
  for (const fs::path& link : links) fs::remove(link);
}

TEST_F(InstallJob, ProgramInstallFailures) {
  struct Case {
    const char* name;
    int language_index;
    std::string path;
    const char* message;
  } cases[] = {
      {"missing base folder, English", 2, Core("absent"), "Can't copy files, error!"},
      {"missing base folder, Traditional Chinese", 1, Core("absent"),
       "error! please Close the Orvane!"},
      {"missing base folder, no selection", -1, Core("absent"), "Can't copy files, error!"},
      {"empty path", 3, "", "The path is error!"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    InstallChoices choices;
    choices.language_index = c.language_index;
    choices.install_path = c.path;
    choices.product_name = "never";
    EXPECT_EQ(0, Run(choices));
    EXPECT_EQ(std::vector<std::string>{c.message}, sink_.messages);
  }
  EXPECT_FALSE(fs::exists(dir_.Host("absent")));
}

TEST_F(InstallJob, UnknownInstallTypeSucceedsWithoutInstalling) {
  InstallChoices choices;
  choices.install_type = 5;
  choices.install_path = Core("apps");
  EXPECT_EQ(1, Run(choices));
  EXPECT_TRUE(sink_.messages.empty());
  EXPECT_FALSE(fs::exists(dir_.Host("apps")));
}

TEST_F(InstallJob, CorelMacroManualAndAuto) {
  // Manual mode: the folder must hold the row's Programs folder.
  fs::create_directories(dir_.Host("corel/Programs"));
  InstallChoices manual;
  manual.install_type = 1;
  manual.language_index = 2;
  manual.auto_install = 0;
  manual.install_path = Core("corel") + "\\";
  manual.corel_version = 6;  // X6 64-bit wants Programs64
  EXPECT_EQ(0, Run(manual));
  EXPECT_EQ(std::vector<std::string>{"The path is error!"}, sink_.messages);
  EXPECT_FALSE(fs::exists(dir_.Host("corel/Draw")));

  manual.corel_version = 3;  // X4: QVTCorelX34.gms into Programs
  ASSERT_EQ(1, Run(manual));
  const std::set<std::string> gms = FilesBelow(dir_.Host("corel/Draw/GMS"));
  EXPECT_EQ(std::set<std::string>{"QVTCorel.gms"}, gms);
  EXPECT_EQ("QVTCorel\\QVTCorelX34.gms", ReadHostFile(dir_.Host("corel/Draw/GMS/QVTCorel.gms")));
  const std::set<std::string> root = FilesBelow(dir_.Host("corel/Programs"));
  for (const char* macro : kMacros) EXPECT_FALSE(root.count(macro)) << macro;
  EXPECT_TRUE(root.count("companion.dll"));
  EXPECT_TRUE(root.count("QVTPrograms/Orvane.exe"));
  EXPECT_TRUE(root.count("QVTLanguage/en.lng"));
  EXPECT_FALSE(root.count("QVTDoc/manual.pdf"));
  EXPECT_FALSE(fs::exists(dir_.Host("corel/Programs/QVTCad")));
  EXPECT_FALSE(fs::exists(dir_.Host("corel/Programs/QVTCorel")));
  EXPECT_NE(std::string::npos,
            ReadHostFile(dir_.Host("corel/Programs/QVTCfg/SoftCfg.ini")).find("Language=3"));

  // A second row replaces the macro.
  manual.corel_version = 1;
  ASSERT_EQ(1, Run(manual));
  EXPECT_EQ("QVTCorel\\QVTCorel12.gms", ReadHostFile(dir_.Host("corel/Draw/GMS/QVTCorel.gms")));

  // Auto mode: the second candidate key serves, the path is not looked at.
  fs::create_directories(dir_.Host("x6/Programs64"));
  fs::create_directories(dir_.Host("x6/Draw"));  // CorelDRAW's own; only GMS is made
  UseRegistry("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Corel\\Setup\\CorelDRAW Technical Suite 16]\r\n"
              "\"Destination\"=" + RegString(Core("x6") + "\\") + "\r\n",
              "SOFTWARE\\Corel");
  InstallChoices automatic = manual;
  automatic.auto_install = 1;
  automatic.install_path = Core("absent");
  automatic.corel_version = 6;
  ASSERT_EQ(1, Run(automatic));
  EXPECT_EQ("QVTCorel\\QVTCorelEx64.gms", ReadHostFile(dir_.Host("x6/Draw/GMS/QVTCorel.gms")));
  EXPECT_TRUE(fs::exists(dir_.Host("x6/Programs64/QVTPrograms/Orvane.exe")));

  automatic.corel_version = 7;  // suite 17: no key
  EXPECT_EQ(0, Run(automatic));
  EXPECT_EQ(std::vector<std::string>{"Can't find Coreldraw!"}, sink_.messages);

  // A damaged payload: the extraction fails with its one text.
  WriteHostFile(dir_.Host("media/setup.exe"), "damaged");
  automatic.corel_version = 5;
  automatic.language_index = 0;
  EXPECT_EQ(0, Run(automatic));
  EXPECT_EQ(std::vector<std::string>{kChinese.close_corel}, sink_.messages);
}

TEST_F(InstallJob, AcadAddInManualAndAuto) {
  InstallChoices manual;
  manual.install_type = 2;
  manual.language_index = 0;
  manual.install_path = Core("acad");
  fs::create_directories(dir_.Host("acad/Fonts"));
  EXPECT_EQ(0, Run(manual));
  EXPECT_EQ(std::vector<std::string>{kChinese.path_error}, sink_.messages);
  EXPECT_EQ(0u, FilesBelow(dir_.Host("acad")).size());

  WriteHostFile(dir_.Host("acad/acad.exe"), "acad");
  WriteHostFile(dir_.Host("acad/acad.lsp"), "old");
  ASSERT_EQ(1, Run(manual));
  EXPECT_EQ("QVTCad\\acad_CH.lsp", ReadHostFile(dir_.Host("acad/acad.lsp")));
  EXPECT_EQ("QVTCad\\QVTSrtCad.dll", ReadHostFile(dir_.Host("acad/QVTSrtCad.dll")));
  for (const char* font : kFonts)
    EXPECT_EQ(std::string("QVTFonts\\") + font, ReadHostFile(dir_.Host(std::string("acad/Fonts/") + font)));
  EXPECT_FALSE(fs::exists(dir_.Host("acad/QVTCad")));
  EXPECT_FALSE(fs::exists(dir_.Host("acad/QVTCorel")));
  EXPECT_TRUE(fs::exists(dir_.Host("acad/QVTCfg/SoftCfg.ini")));

  // Auto: two products under two releases, both served, in the walk's order.
  // A stale registration (no acad.exe there) is passed over.
  for (const char* folder : {"a2010", "a2007"}) WriteHostFile(dir_.Host(folder) / "acad.exe", "");
  UseRegistry("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Autodesk\\AutoCAD\\R16.0\\ACAD-6001:409]\r\n"
              "\"AcadLocation\"=" + RegString(Core("gone")) + "\r\n\r\n"
              "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Autodesk\\AutoCAD\\R18.0\\ACAD-8001:409]\r\n"
              "\"AcadLocation\"=" + RegString(Core("a2010")) + "\r\n\r\n"
              "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Autodesk\\AutoCAD\\R17.0\\ACAD-7001:804]\r\n"
              "\"AcadLocation\"=" + RegString(Core("a2007")) + "\r\n",
              "SOFTWARE\\Autodesk");
  InstallChoices automatic = manual;
  automatic.auto_install = 1;
  automatic.language_index = 2;
  ASSERT_EQ(1, Run(automatic));
  EXPECT_TRUE(sink_.messages.empty());
  EXPECT_EQ("QVTCad\\acad_EN.lsp", ReadHostFile(dir_.Host("a2010/acad.lsp")));
  EXPECT_EQ("QVTCad\\acad_EN.lsp", ReadHostFile(dir_.Host("a2007/acad.lsp")));

  EXPECT_FALSE(fs::exists(dir_.Host("gone")));

  // No location served (none readable, or only stale ones): no success.
  for (const std::string& product : {std::string("\"ProductName\"=\"no location\""),
                                     "\"AcadLocation\"=" + RegString(Core("gone"))}) {
    UseRegistry("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Autodesk\\AutoCAD\\R18.0\\ACAD-8001:409]\r\n" +
                    product + "\r\n",
                "SOFTWARE\\Autodesk");
    EXPECT_EQ(0, Run(automatic));
    EXPECT_EQ(std::vector<std::string>{"Can't find AutoCAD!"}, sink_.messages);
  }

  UseRegistry("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Autodesk\\Other]\r\n", "SOFTWARE\\Autodesk");
  EXPECT_EQ(0, Run(automatic));
  EXPECT_EQ(std::vector<std::string>{"Can't find AutoCAD!"}, sink_.messages);
}

TEST_F(InstallJob, IllustratorLanguageAndBitness) {
  const std::string ai = "ai";
  fs::create_directories(dir_.Host("ai/Support Files/Contents/Windows"));
  InstallChoices choices;
  choices.install_type = 3;
  choices.language_index = 2;
  choices.install_path = Core(ai);
  EXPECT_EQ(0, Run(choices));  // no Plug-ins folder
  EXPECT_EQ(std::vector<std::string>{"The path is error!"}, sink_.messages);
  fs::create_directories(dir_.Host("ai/Support Files/Required/Plug-ins"));

  struct Case {
    int type, language;
    const char* installed;
    const char* content;
  } cases[] = {
      {3, 0, "QVTPlugin.aip", "QVTAi\\QVTPlugin.aip"},
      {4, 0, "QVTPlugin.aip", "QVTAi\\QVTPlugin64.aip"},
      {3, 2, "QVTPluginEn.aip", "QVTAi\\QVTPluginEn.aip"},
      {4, 1, "QVTPluginEn.aip", "QVTAi\\QVTPlugin64En.aip"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.type) + "/" + std::to_string(c.language));
    choices.install_type = c.type;
    choices.language_index = c.language;
    ASSERT_EQ(1, Run(choices));
    // Only this run's language leaves its plug-in.
    EXPECT_EQ(std::set<std::string>{c.installed},
              FilesBelow(dir_.Host("ai/Support Files/Required/Plug-ins")));
    EXPECT_EQ(c.content,
              ReadHostFile(dir_.Host(std::string("ai/Support Files/Required/Plug-ins/") + c.installed)));
  }
  const std::set<std::string> windows = FilesBelow(dir_.Host("ai/Support Files/Contents/Windows"));
  for (const char* gone : {"QVTCad", "QVTCorel", "QVTAi"})
    EXPECT_FALSE(fs::exists(dir_.Host(std::string("ai/Support Files/Contents/Windows/") + gone)));
  EXPECT_TRUE(windows.count("QVTPrograms/Orvane.exe"));
  EXPECT_TRUE(windows.count("QVTCfg/SoftCfg.ini"));
}

// No success, and one text in the chosen language, when a deliverable is held
// by its host (a folder stands in) or missing from the payload, or when the
// setup fails its integrity record; a damaged setup writes no file, and one
// without a record, cut short, keeps the install's own text.
TEST_F(InstallJob, NoSuccessWithoutEveryDeliverableInPlace) {
  std::string damaged = testing::WithIntegrityRecord(StandardPayload());
  damaged[damaged.size() / 2] ^= 1;
  const std::string cut = StandardPayload().substr(0, 5000);
  const char* const damaged_en = "The setup file is damaged, please get a new copy!";
  const struct {
    const char* name;
    int type, language;
    std::string blocked, missing;  // folder made at the target; entry left out
    const std::string* setup;      // instead of the standard payload: nothing written
    const char* message;
  } rows[] = {
      {"macro", 1, 0, "Draw/GMS/QVTCorel.gms", "", nullptr, kChinese.close_corel},
      {"macro source", 1, 0, "", "QVTCorel\\QVTCorelX34.gms", nullptr, kChinese.setup_damaged},
      {"add-in", 2, 0, "QVTSrtCad.dll", "", nullptr, kChinese.close_acad},
      {"acad.dvb", 2, 0, "acad.dvb", "", nullptr, kChinese.close_acad},
      {"acad.lsp", 2, 0, "acad.lsp", "", nullptr, kChinese.close_acad},
      {"lisp source", 2, 0, "", "QVTCad\\acad_CH.lsp", nullptr, kChinese.setup_damaged},
      {"plug-in", 3, 0, "Support Files/Required/Plug-ins/QVTPlugin.aip", "", nullptr, kChinese.close_corel},
      {"plug-in source", 3, 0, "", "QVTAi\\QVTPlugin.aip", nullptr, kChinese.setup_damaged},
      {"damaged, program", 0, 0, "", "", &damaged, kChinese.setup_damaged},
      {"damaged, macro", 1, 0, "", "", &damaged, kChinese.setup_damaged},
      {"damaged, add-in", 2, 2, "", "", &damaged, damaged_en},
      {"damaged, plug-in", 3, 1, "", "", &damaged, damaged_en},
      {"cut, program", 0, 0, "", "", &cut, kChinese.program_running},
      {"cut, add-in", 2, 2, "", "", &cut, "Please Close AutoCAD, and try to Install!"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string host = std::string("host ") + row.name + "/";
    for (const char* made : {"Programs", "Support Files/Contents/Windows",
                             "Support Files/Required/Plug-ins", row.blocked.c_str()})
      fs::create_directories(dir_.Host(host + made));
    WriteHostFile(dir_.Host(host + "acad.exe"), "");
    if (!fs::exists(dir_.Host(host + "acad.lsp"))) WriteHostFile(dir_.Host(host + "acad.lsp"), "own");
    WriteHostFile(dir_.Host("media/setup.exe"), row.setup ? *row.setup : StandardPayload(row.missing));
    // Manual, CorelDRAW X4.
    EXPECT_EQ(0, Run(InstallChoices{row.language, row.type, Core(host), 0, 3, ""}));
    EXPECT_EQ(std::vector<std::string>{row.message}, sink_.messages);
    if (row.setup) {
      EXPECT_EQ((std::set<std::string>{"acad.exe", "acad.lsp"}), FilesBelow(dir_.Host(host)));
    }
  }
}

// Three releases in turn, each shipping other bytes, over the user's files:
// each version the user made stays whole under NAME.bak, NAME.bak2, ...; a
// file the setup put there and nobody changed is replaced without a backup.
// A row's `edits` are what the user leaves in the file before each install
// ("" nothing, kFolder a folder, kCut the record without its last entry).
TEST_F(InstallJob, UserFilesSurviveEveryRelease) {
  const std::string big(100000, 'x');  // compared in chunks; versions differ at the end
  const std::string kFolder = "<folder>", kCut = "<cut>";
  const auto soft_cfg = [](int language, int release) {
    return "[BaseCfg]\r\nLanguage=" + std::to_string(language) + "\r\nRelease=" +
           std::to_string(release) + "\r\n";
  };
  const struct {
    const char* path;
    std::string edits[3];
    std::vector<std::string> backups;  // NAME.bak, NAME.bak2, ... in the end
  } rows[] = {
      {"acad/acad.lsp", {"USER LISP", "", ""}, {"older", "USER LISP"}},
      {"acad/acad.lsp.bak", {"older", "", ""}, {}},  // an older setup's backup stays
      {"acad/acad.dvb", {"user dvb", "", ""}, {kFolder, "user dvb"}},
      {"acad/acad.dvb.bak", {kFolder, "", ""}, {}},
      {"acad/Fonts/txt.shx", {"own txt", "", ""}, {"own txt"}},
      {"acad/Fonts/HT.SHX", {"QVTFonts\\HT.SHX#0", "", ""}, {}},  // the shipped bytes
      {"apps/Orvane/QVTCfg/Machine.ini", {"", "calibrated", "again"}, {"calibrated", "again"}},
      // As an install of this release in this language leaves it, then as
      // each language left it.
      {"apps/Orvane/QVTCfg/SoftCfg.ini", {soft_cfg(3, 0), "", ""}, {}},
      // Without a whole record the release-0 files count as the user's; the
      // user's first version, made again, is not kept twice.
      {"acad/QVTCfg/QVTSetup.rec", {"", kCut, ""}, {}},
      {"acad/QVTCfg/SoftCfg.ini", {"", "", ""}, {soft_cfg(3, 0)}},
      {"acad/QVTCfg/Machine.ini", {big + "u", "", big + "u"}, {big + "u", big + "0"}},
  };
  WriteHostFile(dir_.Host("acad/acad.exe"), "");
  fs::create_directories(dir_.Host("apps"));
  InstallChoices acad, program;
  acad.install_type = 2;
  acad.install_path = Core("acad");
  program.install_path = Core("apps");
  program.product_name = "Orvane releases " + std::to_string(std::rand());
  for (int release = 0; release < 3; ++release) {
    SCOPED_TRACE(release);
    for (const auto& row : rows) {
      const std::string& edit = row.edits[release];
      if (edit == kFolder) {
        fs::create_directories(dir_.Host(row.path));
      } else if (edit == kCut) {
        std::string text = ReadHostFile(dir_.Host(row.path));
        const std::size_t end = text.rfind("end "), entry = text.rfind("\r\n", end - 3) + 2;
        WriteHostFile(dir_.Host(row.path), text.erase(entry, end - entry));
      } else if (!edit.empty()) {
        WriteHostFile(dir_.Host(row.path), edit);
      }
    }
    const std::string tag = std::to_string(release);
    WriteHostFile(dir_.Host("media/setup.exe"), StandardPayload("", "#" + tag));
    WriteHostFile(dir_.Host("media/QVTCfg/Machine.ini"), big + tag);
    WriteHostFile(dir_.Host("media/QVTCfg/SoftCfg.ini"), soft_cfg(1, release));
    acad.language_index = program.language_index = 2 - release;  // writes 3, 2, 1
    ASSERT_EQ(1, Run(acad));
    ASSERT_EQ(1, Run(program));
  }
  std::map<std::string, std::string> want, backups;
  for (const auto& row : rows)
    for (std::size_t i = 0; i < row.backups.size(); ++i)
      want[row.path + (".bak" + (i ? std::to_string(i + 1) : ""))] = row.backups[i];
  for (auto& e : fs::recursive_directory_iterator(dir_.host())) {
    const std::string path = fs::relative(e.path(), dir_.host()).generic_string();
    if (path.find(".bak") != std::string::npos)
      backups[path] = e.is_directory() ? kFolder : ReadHostFile(e.path());
  }
  EXPECT_EQ(want, backups);
  EXPECT_EQ(big + "2", ReadHostFile(dir_.Host("apps/Orvane/QVTCfg/Machine.ini")));
  std::string desktop, programs;
  ASSERT_TRUE(platform::GetShellFolder(platform::ShellFolder::kDesktop, &desktop));
  ASSERT_TRUE(platform::GetShellFolder(platform::ShellFolder::kPrograms, &programs));
  fs::remove(testing::HostPath(desktop) / (program.product_name + ".lnk"));
  fs::remove(testing::HostPath(programs) / "Orvane" / (program.product_name + ".lnk"));
}

TEST(InstallJobFrame, SourceFolderIsTheSetupsFolder) {
  EXPECT_EQ("D:\\", platform::FolderOf("D:\\setup.exe"));
  EXPECT_EQ("C:\\media\\cd\\", platform::FolderOf("C:\\media\\cd\\Setup.exe"));
}

// Each report as the runner's bar shows it, in thousandths.
class BarRecord : public payload::ExtractionProgress {
 public:
  void Advance(std::uint64_t done, std::uint64_t total) override {
    totals.insert(total);
    positions.push_back(total == 0 ? 0 : static_cast<int>(done * 1000 / total));
  }
  std::set<std::uint64_t> totals;
  std::vector<int> positions;
};

// One bar over the whole job, by what each step costs: the settings folders'
// copies fill the second half when they weigh as much as the payload, and
// AutoCAD's auto mode fills it once over two folders.
TEST_F(InstallJob, OneBarFollowsTheWholeJob) {
  const std::string body(2 << 20, 'p');
  testing::PayloadImage image;
  image.Add("QVTPrograms\\Orvane.exe", body);
  image.Add("QVTCad\\QVTSrtCad.dll", "addin");
  image.Add("QVTCad\\acad.dvb", "dvb");
  image.Add("QVTCad\\acad_EN.lsp", "lsp");
  WriteHostFile(dir_.Host("media/setup.exe"), image.Finish());
  WriteHostFile(dir_.Host("media/QVTDoc/video.mp4"), body);
  WriteHostFile(dir_.Host("media/QVTLanguage/big.lng"), body);
  fs::create_directories(dir_.Host("apps"));
  for (const char* folder : {"a2010", "a2007"}) WriteHostFile(dir_.Host(folder) / "acad.exe", "");
  UseRegistry("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Autodesk\\AutoCAD\\R18.0\\ACAD-8001:409]\r\n"
              "\"AcadLocation\"=" + RegString(Core("a2010")) + "\r\n\r\n"
              "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Autodesk\\AutoCAD\\R17.0\\ACAD-7001:804]\r\n"
              "\"AcadLocation\"=" + RegString(Core("a2007")) + "\r\n",
              "SOFTWARE\\Autodesk");
  const struct {
    const char* name;
    InstallChoices choices;
    int halfway;  // the bar after the first half of the work: at most this
  } rows[] = {
      // 2 MiB read and written, then QVTDoc's and QVTLanguage's 4 MiB.
      {"program", InstallChoices{2, 0, Core("apps"), 0, 0, ""}, 340},
      // Per folder 2 MiB staged, then QVTLanguage's 2 MiB: each folder a half.
      {"AutoCAD auto", InstallChoices{2, 2, "", 1, 0, ""}, 500},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    BarRecord bar;
    ASSERT_EQ(1, Run(row.choices, &bar)) << (sink_.messages.empty() ? "" : sink_.messages[0]);
    EXPECT_EQ(1u, bar.totals.size());
    EXPECT_TRUE(std::is_sorted(bar.positions.begin(), bar.positions.end()));
    ASSERT_FALSE(bar.positions.empty());
    EXPECT_EQ(1000, bar.positions.back());
    const auto first_half = std::count_if(bar.positions.begin(), bar.positions.end(),
                                          [&row](int p) { return p <= row.halfway; });
    // Each half moves through pieces of at most 512000 bytes.
    EXPECT_GE(first_half, 4);
    EXPECT_GE(static_cast<long>(bar.positions.size()) - first_half, 4);
    EXPECT_EQ(1, std::count(bar.positions.begin(), bar.positions.end(), 1000));
  }
}

}  // namespace
}  // namespace ovsetup
