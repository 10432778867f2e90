// The settings folders that lie beside the setup executable.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "install/install_job.h"

namespace ovsetup::install {

// Creates `target` + "QVTLanguage\", "QVTRes\" and "QVTCfg\", fills them from
// the source folder's folders of the same names ("QVTCfg\" by content, so the
// copy is writable, each file of the user's kept under a backup name first:
// kept_copy.h), and writes the language number into "QVTCfg\SoftCfg.ini".
// `target` ends with "\".
// Failures are ignored. The copies are told to the job's progress.
void CopySettingsFolders(const JobContext& job, const std::string& target);

// The settings folders an install writes below `target` (ending with "\"):
// "QVTLanguage\", "QVTRes\", "QVTCfg\" and, `with_doc`, "QVTDoc\".
std::vector<std::string> SettingsFoldersIn(const std::string& target, bool with_doc);

// What the settings folders beside the setup hold, directly inside them:
// "QVTLanguage\", "QVTRes\", "QVTCfg\" and, `with_doc`, "QVTDoc\".
struct SettingsSize {
  std::uint64_t bytes = 0;    // the files' sizes
  std::uint64_t on_disk = 0;  // the same in whole 4 KiB clusters
};
// `source_folder` ends with "\"; a folder that is missing holds nothing.
SettingsSize SizeOfSettingsFolders(const std::string& source_folder, bool with_doc);

}  // namespace ovsetup::install
