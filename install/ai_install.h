// Install types 3 and 4: the plug-in for Illustrator, 32- or 64-bit.
#pragma once

#include "install/install_job.h"

namespace ovsetup::install {

// The plug-in file in the payload's "QVTAi\" folder for a language and a
// bitness. It is installed under the 32-bit file's name of its language.
constexpr const char* AiPluginFile(bool chinese, bool bits64) {
  return chinese ? (bits64 ? "QVTPlugin64.aip" : "QVTPlugin.aip")
                 : (bits64 ? "QVTPlugin64En.aip" : "QVTPluginEn.aip");
}

// Installs into the Illustrator folder the user gave: the payload into
// "Support Files\Contents\Windows\", the plug-in of the job's language and
// bitness into "Support Files\Required\Plug-ins\". Fails with PathError when
// either folder is missing (or the path is empty), UntrustedLink (nothing
// written) when a folder from the Illustrator folder down to those two, or a
// settings folder, is a link a user without rights could have laid, and
// CloseCorel when the extraction fails.
void InstallAiPlugin(const JobContext& job);

}  // namespace ovsetup::install
