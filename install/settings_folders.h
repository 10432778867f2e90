// The settings folders that lie beside the setup executable.
#pragma once

#include <string>

#include "install/install_job.h"

namespace ovsetup::install {

// Creates `target` + "QVTLanguage\", "QVTRes\" and "QVTCfg\", fills them from
// the source folder's folders of the same names ("QVTCfg\" by content, so the
// copy is writable, each file of the user's kept under a backup name first:
// kept_copy.h), and writes the language number into "QVTCfg\SoftCfg.ini".
// `target` ends with "\".
// Failures are ignored.
void CopySettingsFolders(const JobContext& job, const std::string& target);

}  // namespace ovsetup::install
