#include "install/acad_install.h"

#include "install/file_tree.h"
#include "install/kept_copy.h"
#include "install/registry_lookups.h"
#include "install/settings_folders.h"
#include "payload/folder_names.h"
#include "payload/payload_archive.h"
#include "platform/file_io.h"
#include "platform/file_ops.h"
#include "platform/path_text.h"

namespace ovsetup::install {
namespace {

// What an install into the AutoCAD folder `folder` (ending with "\") writes:
// the folder, its "Fonts\" and the settings folders.
std::vector<std::string> FoldersWrittenIn(const std::string& folder) {
  std::vector<std::string> written = SettingsFoldersIn(folder, false);
  written.insert(written.begin(), {folder, folder + "Fonts\\"});
  return written;
}

}  // namespace

AcadFolderResult InstallIntoAcadFolder(const JobContext& job, const std::string& folder) {
  if (!job.ExtractAll(folder, job.messages.close_acad,
                      {folder + kAcadAddIn, folder + kAcadMacros, folder + "acad.lsp"}))
    return AcadFolderResult::ExtractionFailed;
  const std::string cad = folder + payload::kCadDir;
  const char* const close = job.messages.close_acad;
  // The add-in itself must land; the user's acad.dvb and acad.lsp are kept.
  if (!DeliverOrFail(job, cad + kAcadAddIn, folder + kAcadAddIn, KeepOld::No, close))
    return AcadFolderResult::CopyFailed;
  (void)platform::CopyOneFile(cad + kAcadStartImage, folder + kAcadStartImage, false);
  if (!DeliverOrFail(job, cad + kAcadMacros, folder + kAcadMacros, KeepOld::Yes, close) ||
      !DeliverOrFail(job, cad + job.language().Choose(kAcadLispChinese, kAcadLispEnglish),
                     folder + "acad.lsp", KeepOld::Yes, close))
    return AcadFolderResult::CopyFailed;
  EmptyAndRemoveFolder(cad);
  EmptyAndRemoveFolder(folder + payload::kCorelDir);
  CopySettingsFolders(job, folder);
  // One "\" more after the folder, which ends with one: the doubled
  // separator is what this install has always written; Windows accepts it.
  for (const char* font : kAcadFonts)
    (void)DeliverFile(folder + "\\" + payload::kFontsDir + font, folder + "\\Fonts\\" + font,
                      KeepOld::Yes);
  return AcadFolderResult::AcadInstalled;
}

void InstallAcadAddIn(const JobContext& job) {
  if (job.choices.auto_install == 0) {
    if (job.choices.install_path.empty()) return job.Fail(job.messages.path_error);
    const std::string folder = platform::WithTrailingSlash(job.choices.install_path);
    if (!PathExists(folder + "acad.exe")) return job.Fail(job.messages.path_error);
    if (!job.HoldFolders(FoldersWrittenIn(folder))) return;
    if (InstallIntoAcadFolder(job, folder) != AcadFolderResult::AcadInstalled) return;
    job.succeeded = 1;
    return;
  }
  // A registration whose folder holds no acad.exe is stale: passed over.
  // One bar spans the folders: counted first, and every folder written in
  // any of them checked before the first is.
  int folders = 0, served = 0;
  std::vector<std::string> written;
  (void)ForEachAcadLocation([&folders, &written](const std::string& location) {
    if (!PathExists(location + "\\acad.exe")) return AcadVisit::Continue;
    ++folders;
    for (const std::string& folder : FoldersWrittenIn(location + "\\")) written.push_back(folder);
    return AcadVisit::Continue;
  });
  if (!job.HoldFolders(written)) return;
  job.progress.SetParts(folders);
  const AcadWalk walk = ForEachAcadLocation([&job, &served](const std::string& location) {
    const std::string folder = location + "\\";
    if (!PathExists(folder + "acad.exe")) return AcadVisit::Continue;
    if (served++ > 0) job.progress.NextPart();
    return InstallIntoAcadFolder(job, folder) == AcadFolderResult::AcadInstalled
               ? AcadVisit::Continue
               : AcadVisit::Stop;
  });
  if (walk == AcadWalk::Stopped) return;  // the folder's failure has been shown
  if (walk == AcadWalk::NoAcadKey || served == 0) return job.Fail(job.messages.acad_not_found);
  job.succeeded = 1;
}

}  // namespace ovsetup::install
