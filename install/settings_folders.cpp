#include "install/settings_folders.h"

#include "install/file_tree.h"
#include "install/write_language_setting.h"
#include "platform/file_io.h"

namespace ovsetup::install {

void CopySettingsFolders(const JobContext& job, const std::string& target) {
  for (const char* folder : {"QVTLanguage\\", "QVTRes\\", "QVTCfg\\"})
    platform::CreateOneFolder(target + folder);
  CopyFolderFilesByContent(job.source_folder + "QVTCfg\\", target + "QVTCfg\\");
  CopyFolderFiles(job.source_folder + "QVTLanguage\\", target + "QVTLanguage\\");
  CopyFolderFiles(job.source_folder + "QVTRes\\", target + "QVTRes\\");
  WriteLanguageSetting(target + "QVTCfg\\SoftCfg.ini", job.language_number);
}

}  // namespace ovsetup::install
