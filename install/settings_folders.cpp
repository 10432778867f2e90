#include "install/settings_folders.h"

#include "install/file_tree.h"
#include "install/kept_copy.h"
#include "payload/folder_names.h"
#include "platform/file_io.h"

namespace ovsetup::install {

void CopySettingsFolders(const JobContext& job, const std::string& target) {
  using payload::kCfgDir, payload::kLanguageDir, payload::kResDir;
  for (const char* folder : {kLanguageDir, kResDir, kCfgDir})
    platform::CreateOneFolder(target + folder);
  CopySettingsFilesKeepingOld(job.source_folder + kCfgDir, target + kCfgDir, job.language_number);
  CopyFolderFiles(job.source_folder + kLanguageDir, target + kLanguageDir);
  CopyFolderFiles(job.source_folder + kResDir, target + kResDir);
}

}  // namespace ovsetup::install
