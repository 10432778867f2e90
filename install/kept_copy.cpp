#include "install/kept_copy.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "install/file_tree.h"
#include "install/write_language_setting.h"
#include "platform/file_io.h"
#include "platform/file_ops.h"

namespace ovsetup::install {
namespace {

// Bytes per read when comparing: files of any size cost two such blocks.
constexpr std::size_t kCompareChunk = 64 * 1024;

bool IsFile(const std::string& path) { return PathExists(path) && !FolderExists(path); }

// True when both files open and hold the same bytes.
bool SameContent(const std::string& a, const std::string& b) {
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
  }
  return true;
}

// True when `target` holds what copying `source` and writing `language`
// into it leaves.
bool HoldsInstalledSettings(const std::string& source, const std::string& target, int language) {
  const std::string scratch = target + ".new";
  bool same = CopyFileByContent(source, scratch);
  if (same) {
    WriteLanguageSetting(scratch, language);
    same = SameContent(scratch, target);
  }
  (void)platform::DeleteOneFile(scratch);
  return same;
}

// Keeps `target` as ".bak" if it differs from `source` (see the header);
// true when `target` may be replaced. With `language`, SoftCfg.ini as the
// install leaves it also counts as the same.
bool KeepIfDiffers(const std::string& source, const std::string& target, const int* language) {
  if (!IsFile(target) || SameContent(source, target)) return true;
  const std::string name = target.substr(target.rfind('\\') + 1);  // npos + 1: all of it
  if (language != nullptr && name == kSoftCfgFile &&
      HoldsInstalledSettings(source, target, *language))
    return true;
  return platform::CopyOneFile(target, target + ".bak", false);
}

}  // namespace

void CopySettingsFilesKeepingOld(const std::string& source, const std::string& target,
                                 int language) {
  CopyFolderFilesByContentIf(source, target,
                             [language](const std::string& from, const std::string& to) {
                               return KeepIfDiffers(from, to, &language);
                             });
}

Delivery DeliverFile(const std::string& source, const std::string& target, KeepOld keep) {
  if (!IsFile(source)) return Delivery::SourceMissing;
  if (keep == KeepOld::Yes && !KeepIfDiffers(source, target, nullptr))
    return Delivery::TargetUnwritable;
  return platform::CopyOneFile(source, target, false) ? Delivery::Delivered
                                                       : Delivery::TargetUnwritable;
}

bool DeliverOrFail(const JobContext& job, const std::string& source, const std::string& target,
                   KeepOld keep, const char* close_host) {
  switch (DeliverFile(source, target, keep)) {
    case Delivery::Delivered: return true;
    case Delivery::SourceMissing: job.Fail(job.messages.setup_damaged); return false;
    case Delivery::TargetUnwritable: break;
  }
  job.Fail(close_host);
  return false;
}

}  // namespace ovsetup::install
