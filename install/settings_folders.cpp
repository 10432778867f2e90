#include "install/settings_folders.h"

#include <iterator>

#include "install/file_tree.h"
#include "install/kept_copy.h"
#include "payload/folder_names.h"
#include "platform/file_io.h"
#include "platform/file_ops.h"

namespace ovsetup::install {

void CopySettingsFolders(const JobContext& job, const std::string& target) {
  using payload::kCfgDir, payload::kLanguageDir, payload::kResDir;
  for (const char* folder : {kLanguageDir, kResDir, kCfgDir})
    platform::CreateOneFolder(target + folder);
  const platform::CopyPieces copied = job.progress.Copied();
  CopySettingsFilesKeepingOld(job.source_folder + kCfgDir, target + kCfgDir, job.language_number,
                              copied, job.progress.Ticks());
  CopyFolderFiles(job.source_folder + kLanguageDir, target + kLanguageDir, copied);
  CopyFolderFiles(job.source_folder + kResDir, target + kResDir, copied);
}

std::vector<std::string> SettingsFoldersIn(const std::string& target, bool with_doc) {
  std::vector<std::string> folders;
  if (with_doc) folders.push_back(target + payload::kDocDir);
  for (const char* folder : {payload::kLanguageDir, payload::kResDir, payload::kCfgDir})
    folders.push_back(target + folder);
  return folders;
}

SettingsSize SizeOfSettingsFolders(const std::string& source_folder, bool with_doc) {
  constexpr std::uint64_t kCluster = 4096;
  using payload::kCfgDir, payload::kDocDir, payload::kLanguageDir, payload::kResDir;
  SettingsSize size;
  const char* const folders[] = {kDocDir, kLanguageDir, kResDir, kCfgDir};
  for (std::size_t i = with_doc ? 0 : 1; i < std::size(folders); ++i) {
    const char* const folder = folders[i];
    platform::FileSearch search;
    platform::FoundEntry entry;
    for (bool found = search.First(source_folder + folder + "*.*", &entry); found;
         found = search.Next(&entry)) {
      if (entry.is_folder) continue;
      size.bytes += entry.size;
      size.on_disk += (entry.size + kCluster - 1) / kCluster * kCluster;
    }
  }
  return size;
}

}  // namespace ovsetup::install
