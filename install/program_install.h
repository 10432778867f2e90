// Install type 0: the Orvane program itself.
#pragma once

#include "install/install_job.h"

namespace ovsetup::install {

// The program and its uninstaller in the payload's "QVTPrograms\" folder:
// the shortcuts point at them.
inline constexpr char kProgramFile[] = "Orvane.exe";
inline constexpr char kUninstallerFile[] = "Uninstall.exe";

// Installs into `install_path` + "Orvane\": the payload without the plug-in
// folders, the settings folders from beside the setup, the language in
// SoftCfg.ini, and the desktop and program-menu shortcuts. Fails with
// PathError for an empty path, UntrustedLink when "Orvane\" or a settings
// folder below it is a link a user without rights could have laid (nothing
// written), and ProgramRunning when the payload cannot be extracted; every
// later step's failure is ignored.
void InstallProgram(const JobContext& job);

}  // namespace ovsetup::install
