// The folder names of a release: the payload's folders and the settings
// folders that lie beside the setup executable on the medium.
#pragma once

namespace ovsetup::payload {

// Payload folders the extractions route by, as an entry's folder reads
// (bytes before its last "\", so without a trailing "\").
constexpr const char kContourFolder[] = "Contour";
constexpr const char kSerialDriverFolder[] = "MXDriver";
constexpr const char kUsbDriverFolder[] = "QVTDriver";
constexpr const char kUsbDriverAmd64Folder[] = "QVTDriver\\amd64";
constexpr const char kUsbDriverX86Folder[] = "QVTDriver\\x86";

// Folders the installs work in below an extraction target, and the settings
// folders, as relative folder paths: each ends with "\".
constexpr const char kProgramsDir[] = "QVTPrograms\\";
constexpr const char kCorelDir[] = "QVTCorel\\";
constexpr const char kCadDir[] = "QVTCad\\";
constexpr const char kAiDir[] = "QVTAi\\";
constexpr const char kFontsDir[] = "QVTFonts\\";
constexpr const char kDocDir[] = "QVTDoc\\";
constexpr const char kLanguageDir[] = "QVTLanguage\\";
constexpr const char kResDir[] = "QVTRes\\";
constexpr const char kCfgDir[] = "QVTCfg\\";

}  // namespace ovsetup::payload
