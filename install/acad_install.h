// Install type 2: the add-in for AutoCAD.
#pragma once

#include <string>

#include "install/install_job.h"

namespace ovsetup::install {

enum class AcadFolderResult { AcadInstalled, ExtractionFailed };

// Installs into one AutoCAD folder `folder` (ending with "\"): extracts the
// payload there, places the add-in files, acad.lsp in the job's language,
// the settings folders and the six fonts. Shows CloseAcad and returns
// ExtractionFailed when the extraction fails.
AcadFolderResult InstallIntoAcadFolder(const JobContext& job, const std::string& folder);

// Manual: the one folder the user gave, which must hold acad.exe (else
// PathError). Auto: every AutoCAD the registry lists (AcadNotFound without
// AutoCAD's key); a failed extraction ends the walk.
void InstallAcadAddIn(const JobContext& job);

}  // namespace ovsetup::install
