// Install type 2: the add-in for AutoCAD.
#pragma once

#include <string>

#include "install/install_job.h"

namespace ovsetup::install {

// What the add-in install takes from the payload: the add-in files of
// "QVTCad\", placed in the AutoCAD folder under their own names; the two
// sources of acad.lsp in "QVTCad\", one per language; the fonts of
// "QVTFonts\", placed in the AutoCAD folder's "Fonts\".
inline constexpr char kAcadAddIn[] = "QVTSrtCad.dll";
inline constexpr char kAcadStartImage[] = "QVTStart.bmp";
inline constexpr char kAcadMacros[] = "acad.dvb";
inline constexpr const char* kAcadAddInFiles[] = {kAcadAddIn, kAcadStartImage, kAcadMacros};
inline constexpr const char kAcadLispChinese[] = "acad_CH.lsp";
inline constexpr const char kAcadLispEnglish[] = "acad_EN.lsp";
inline constexpr const char* kAcadFonts[] = {"Fs.shx",    "gbcbig.shx", "HT.SHX",
                                             "Hztxt.shx", "Khz.shx",    "txt.shx"};

enum class AcadFolderResult { AcadInstalled, ExtractionFailed, CopyFailed };

// Installs into one AutoCAD folder `folder` (ending with "\"): extracts the
// payload there, places the add-in files, acad.lsp in the job's language,
// the settings folders and the six fonts; a differing acad.dvb, acad.lsp or
// font is kept as NAME.bak first. Shows CloseAcad and returns
// ExtractionFailed when the extraction fails; CopyFailed, after CloseAcad or
// (the payload lacks the file) the damaged-setup text, when QVTSrtCad.dll,
// acad.dvb or acad.lsp cannot be put in place.
AcadFolderResult InstallIntoAcadFolder(const JobContext& job, const std::string& folder);

// Manual: the one folder the user gave, which must hold acad.exe (else
// PathError). Auto: every AutoCAD the registry lists whose folder holds
// acad.exe, the others passed over; AcadNotFound when none is served. A
// folder that fails ends the walk without success. Before the first byte,
// each such folder, its "Fonts\" and its settings folders are checked:
// UntrustedLink, with nothing written, when one is a link a user without
// rights could have laid.
void InstallAcadAddIn(const JobContext& job);

}  // namespace ovsetup::install
