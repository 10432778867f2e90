#include "install/kept_copy.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

#include "install/file_tree.h"
#include "install/own_files_record.h"
#include "install/write_language_setting.h"
#include "platform/file_io.h"
#include "platform/file_ops.h"
#include "platform/path_text.h"
#include "platform/written_folders.h"

namespace ovsetup::install {
namespace {

// Bytes per read when comparing: files of any size cost two such blocks.
constexpr std::size_t kCompareChunk = 64 * 1024;
// Backup names tried (NAME.bak .. NAME.bak9999) before a backup fails.
constexpr int kMostBackups = 9999;

bool IsFile(const std::string& path) { return PathExists(path) && !FolderExists(path); }

// True when both files open and hold the same bytes. `ticks`, when set, is
// told after every chunk.
bool SameContent(const std::string& a, const std::string& b,
                 const platform::CopyPieces& ticks = {}) {
  platform::InputFile file_a, file_b;
  std::uint64_t size_a = 0, size_b = 0;
  if (!file_a.Open(a) || !file_b.Open(b) || !file_a.Length(&size_a) || !file_b.Length(&size_b) ||
      size_a != size_b)
    return false;
  std::vector<char> chunk_a(kCompareChunk), chunk_b(kCompareChunk);
  for (std::uint64_t left = size_a; left > 0;) {
    const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(left, kCompareChunk));
    if (!file_a.Read(chunk_a.data(), n) || !file_b.Read(chunk_b.data(), n) ||
        std::memcmp(chunk_a.data(), chunk_b.data(), n) != 0)
      return false;
    left -= n;
    if (ticks) ticks(0);
  }
  return true;
}

// True when `target` holds what copying `source` and writing `language`
// into it leaves.
bool HoldsInstalledSettings(const std::string& source, const std::string& target, int language,
                            const platform::CopyPieces& ticks) {
  std::string scratch = target + ".new";  // created new, never through a link
  if (!CopyFileByContentToNew(source, &scratch, ticks)) return false;
  WriteLanguageSetting(scratch, language);
  const bool same = SameContent(scratch, target, ticks);
  (void)platform::DeleteOneFile(scratch);
  return same;
}

// The `n`th backup name of `target`: NAME.bak, NAME.bak2, NAME.bak3, ...
std::string BackupName(const std::string& target, int n) {
  return target + ".bak" + (n > 1 ? std::to_string(n) : std::string());
}

// Keeps `target` under its first free backup name, unless a taken one before
// it holds the same bytes already; never replaces a backup. True when kept.
bool KeepAsBackup(const std::string& target, const platform::CopyPieces& ticks) {
  for (int n = 1; n <= kMostBackups; ++n) {
    const std::string backup = BackupName(target, n);
    if (!PathExists(backup)) return platform::CopyOneFile(target, backup, true, ticks);
    if (SameContent(target, backup, ticks)) return true;
  }
  return false;
}

// Keeps `target`, the file `name` of the folder `record` belongs to, if it
// is the user's (see the header); true when `target` may be replaced. With
// `language`, SoftCfg.ini as the install leaves it also counts as the same.
bool KeepIfUsers(const std::string& source, const std::string& target, const std::string& name,
                 const OwnFilesRecord& record, const int* language,
                 const platform::CopyPieces& ticks = {}) {
  if (!IsFile(target) || SameContent(source, target, ticks) || record.Holds(name, target))
    return true;
  if (language != nullptr && name == kSoftCfgFile &&
      HoldsInstalledSettings(source, target, *language, ticks))
    return true;
  return KeepAsBackup(target, ticks);
}

}  // namespace

void CopySettingsFilesKeepingOld(const std::string& source, const std::string& target,
                                 int language, const platform::CopyPieces& copied,
                                 const platform::CopyPieces& ticks) {
  const std::string folder = platform::WithTrailingSlash(target);
  if (!platform::MayWriteInto(folder)) return;
  OwnFilesRecord record = OwnFilesRecord::ReadFrom(folder);
  std::vector<std::pair<std::string, std::string>> kept;  // source, name: copied
  CopyFolderFilesByContentIf(source, folder, [&](const std::string& from, const std::string& to) {
    const std::string name = to.substr(folder.size());
    if (!KeepIfUsers(from, to, name, record, &language, ticks)) return false;
    kept.emplace_back(from, name);
    return true;
  }, copied);
  // Only what the copies put in place is the setup's own; SoftCfg.ini as
  // the language leaves it.
  bool soft_cfg = false;
  for (const auto& [from, name] : kept) {
    if (!SameContent(from, folder + name, ticks)) continue;
    if (name == kSoftCfgFile)
      soft_cfg = true;
    else
      record.Take(name, folder + name);
  }
  WriteLanguageSetting(folder + kSoftCfgFile, language);
  if (soft_cfg) record.Take(kSoftCfgFile, folder + kSoftCfgFile);
  if (!kept.empty()) (void)record.WriteTo(folder);
}

Delivery DeliverFile(const std::string& source, const std::string& target, KeepOld keep) {
  if (!IsFile(source)) return Delivery::SourceMissing;
  if (!platform::MayWriteInto(platform::FolderOf(target))) return Delivery::UntrustedFolder;
  if (keep == KeepOld::No)
    return platform::CopyOneFile(source, target, false) ? Delivery::Delivered
                                                         : Delivery::TargetUnwritable;
  const std::string folder = platform::FolderOf(target);
  const std::string name = target.substr(folder.size());
  OwnFilesRecord record = OwnFilesRecord::ReadFrom(folder);
  if (!KeepIfUsers(source, target, name, record, nullptr) ||
      !platform::CopyOneFile(source, target, false))
    return Delivery::TargetUnwritable;
  record.Take(name, target);
  (void)record.WriteTo(folder);
  return Delivery::Delivered;
}

bool DeliverOrFail(const JobContext& job, const std::string& source, const std::string& target,
                   KeepOld keep, const char* close_host) {
  switch (DeliverFile(source, target, keep)) {
    case Delivery::Delivered: return true;
    case Delivery::SourceMissing: job.Fail(job.messages.setup_damaged); return false;
    case Delivery::UntrustedFolder: job.Fail(job.messages.untrusted_link); return false;
    case Delivery::TargetUnwritable: break;
  }
  job.Fail(close_host);
  return false;
}

}  // namespace ovsetup::install
