// Install types 3 and 4: the plug-in for Illustrator, 32- or 64-bit.
#pragma once

#include "install/install_job.h"

namespace ovsetup::install {

// Installs into the Illustrator folder the user gave: the payload into
// "Support Files\Contents\Windows\", the plug-in of the job's language and
// bitness into "Support Files\Required\Plug-ins\". Fails with PathError when
// either folder is missing (or the path is empty) and CloseCorel when the
// extraction fails.
void InstallAiPlugin(const JobContext& job);

}  // namespace ovsetup::install
