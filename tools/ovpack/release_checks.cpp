#include "tools/ovpack/release_checks.h"

#include <algorithm>
#include <cstdio>

#include "drivers/driver_placement.h"
#include "drivers/driver_run.h"
#include "install/acad_install.h"
#include "install/ai_install.h"
#include "install/corel_install.h"
#include "install/program_install.h"
#include "payload/folder_names.h"
#include "payload/payload_archive.h"
#include "payload/stored_path_rules.h"
#include "platform/text_codec.h"
#include "tools/shown_text.h"

namespace ovsetup::ovpack {
namespace {

constexpr char kProgramInstall[] = "program install";
constexpr char kCorelInstall[] = "CorelDRAW macro install";
constexpr char kAcadInstall[] = "AutoCAD add-in install";
constexpr char kAiInstall[] = "Illustrator plug-in install";
constexpr char kDriverInstall[] = "USB driver install";
const char* const kInstalls[] = {kProgramInstall, kCorelInstall, kAcadInstall, kAiInstall,
                                 kDriverInstall};

// The longest path Windows' ANSI file calls take, in characters.
constexpr std::size_t kMaxPathCharacters = 259;

// The longest folder each install writes the payload below on customers'
// machines: the program's folder under the path the user picks, the hosts'
// folders as their own setups make them, and the driver install's system
// folder. "Contour" entries go into the Windows folder by file name.
struct InstallFolder {
  const char* install;
  payload::Selection extraction;
  const char* folder;
};
constexpr InstallFolder kInstallFolders[] = {
    {kProgramInstall, payload::Selection::kAll, "C:\\Program Files (x86)\\Orvane\\"},
    {kCorelInstall, payload::Selection::kAll,
     "C:\\Program Files\\Corel\\CorelDRAW Technical Suite X7\\Programs64\\"},
    {kAcadInstall, payload::Selection::kAll,
     "C:\\Program Files\\Autodesk\\AutoCAD Mechanical 2018\\"},
    {kAiInstall, payload::Selection::kAll,
     "C:\\Program Files\\Adobe\\Adobe Illustrator CS6 (64 Bit)\\"
     "Support Files\\Contents\\Windows\\"},
    {kDriverInstall, payload::Selection::kDriverSubset, "C:\\Windows\\SysWOW64\\"},
};
constexpr char kWindowsFolder[] = "C:\\Windows\\";

// A file an install takes from the payload by its stored path; `variants`
// names the choices (language, bitness, host version) that need it, empty
// when every run of the install does.
struct NeededFile {
  const char* install;
  std::string path;
  std::string variants;
};

// The files the installs name, from the installs' own tables.
std::vector<NeededFile> NeededFiles() {
  using namespace payload;
  const std::string programs = kProgramsDir, cad = kCadDir, fonts = kFontsDir, ai = kAiDir,
                    corel = kCorelDir;
  std::vector<NeededFile> files = {
      {kProgramInstall, programs + install::kProgramFile, ""},
      {kProgramInstall, programs + install::kUninstallerFile, ""},
      {kDriverInstall, std::string(kUsbDriverFolder) + "\\" + drivers::kDriverInstallerFile, ""},
  };
  for (const std::string& name : drivers::SerialKitFiles())
    files.push_back({kDriverInstall, std::string(kSerialDriverFolder) + "\\" + name, ""});
  for (const char* name : install::kAcadAddInFiles) files.push_back({kAcadInstall, cad + name, ""});
  files.push_back({kAcadInstall, cad + install::kAcadLispChinese, "Chinese"});
  files.push_back({kAcadInstall, cad + install::kAcadLispEnglish, "English"});
  for (const char* name : install::kAcadFonts) files.push_back({kAcadInstall, fonts + name, ""});
  for (const install::CorelVersion& row : install::CorelVersionTable) {
    const std::string path = corel + row.source_macro;
    const auto same = std::find_if(files.begin(), files.end(),
                                   [&path](const NeededFile& file) { return file.path == path; });
    if (same == files.end()) files.push_back({kCorelInstall, path, row.combo_text});
    else same->variants += std::string(" and ") + row.combo_text;
  }
  for (const bool bits64 : {false, true})
    for (const bool chinese : {true, false})
      files.push_back({kAiInstall, ai + install::AiPluginFile(chinese, bits64),
                       std::string(bits64 ? "64-bit, " : "32-bit, ") +
                           (chinese ? "Chinese" : "English")});
  return files;
}

// The length of `stored` in the UTF-16 characters Windows counts.
std::size_t Characters(const std::string& stored, unsigned code_page) {
  std::string utf8;
  if (!platform::ConvertCodePage(stored, code_page, platform::kCodePageUtf8, &utf8))
    return stored.size();  // at most one character per byte
  std::size_t count = 0;
  for (unsigned char c : utf8) count += (c & 0xC0) != 0x80 ? (c >= 0xF0 ? 2 : 1) : 0;
  return count;
}

class PathCollector : public payload::EntryVisitor {
 public:
  explicit PathCollector(ReleaseCheck* check) : check_(check) {}
  payload::PayloadFault OnEntry(const payload::PayloadEntry& entry,
                                platform::InputFile&) override {
    check_->Add(entry.path);
    return payload::PayloadFault::kNone;
  }

 private:
  ReleaseCheck* check_;
};

}  // namespace

void ReleaseCheck::Add(const std::string& stored_path) {
  stored_.insert(payload::FoldStoredCase(stored_path));
  const std::size_t slash = stored_path.rfind('\\');
  const std::string folder = slash == std::string::npos ? "" : stored_path.substr(0, slash);
  const std::string name = stored_path.substr(slash == std::string::npos ? 0 : slash + 1);
  // The longest full path among the installs that write the entry.
  std::size_t longest = 0;
  std::string where;
  for (const InstallFolder& row : kInstallFolders) {
    const payload::Destination destination = payload::Route(folder, row.extraction);
    if (destination == payload::Destination::kSkip) continue;
    const bool windows = destination == payload::Destination::kWindowsFolder;
    const std::string base = windows ? kWindowsFolder : row.folder;
    const std::size_t length = base.size() + Characters(windows ? name : stored_path, code_page_);
    if (length > kMaxPathCharacters && length > longest) {
      longest = length;
      where = std::string(row.install) + (windows ? " (the Windows folder" : " (its folder") +
              " \"" + base + "\")";
    }
  }
  if (longest != 0)
    long_paths_.push_back(tools::ShownText(stored_path, code_page_) + ": the path has " +
                          std::to_string(longest) + " characters under the " + where +
                          ", more than the " + std::to_string(kMaxPathCharacters) +
                          " Windows takes");
}

std::vector<std::string> ReleaseCheck::Findings() const {
  const std::vector<NeededFile> needed = NeededFiles();
  std::vector<std::string> findings;
  for (const char* install : kInstalls) {
    std::string missing;
    for (const NeededFile& file : needed) {
      if (file.install != install || stored_.count(payload::FoldStoredCase(file.path))) continue;
      missing += (missing.empty() ? "" : ", ") + file.path;
      if (!file.variants.empty()) missing += " (" + file.variants + ")";
    }
    if (!missing.empty()) findings.push_back("the " + std::string(install) + " lacks " + missing);
  }
  findings.insert(findings.end(), long_paths_.begin(), long_paths_.end());
  return findings;
}

bool ReportReleaseChecks(const std::string& file, const std::string& path, unsigned code_page,
                         bool strict) {
  ReleaseCheck check(code_page);
  PathCollector collector(&check);
  if (!payload::WalkPayload(path, collector).ok()) return true;
  const std::vector<std::string> findings = check.Findings();
  for (const std::string& finding : findings)
    std::fprintf(stderr, "ovpack: %s: %s: %s\n", file.c_str(), strict ? "error" : "warning",
                 finding.c_str());
  return findings.empty() || !strict;
}

}  // namespace ovsetup::ovpack
