#include "install/acad_install.h"

#include "install/file_tree.h"
#include "install/registry_lookups.h"
#include "install/settings_folders.h"
#include "payload/folder_names.h"
#include "payload/payload_archive.h"
#include "platform/file_io.h"
#include "platform/file_ops.h"
#include "platform/path_text.h"

namespace ovsetup::install {
namespace {

const char* const kFonts[] = {"Fs.shx", "gbcbig.shx", "HT.SHX", "Hztxt.shx", "Khz.shx", "txt.shx"};

void Copy(const std::string& from, const std::string& to) {
  platform::CopyOneFile(from, to, false);
}

}  // namespace

AcadFolderResult InstallIntoAcadFolder(const JobContext& job, const std::string& folder) {
  if (!job.ExtractAll(folder, job.messages.close_acad)) return AcadFolderResult::ExtractionFailed;
  const std::string cad = folder + payload::kCadDir;
  for (const char* file : {"QVTSrtCad.dll", "QVTStart.bmp", "acad.dvb"})
    Copy(cad + file, folder + file);
  Copy(cad + job.language().Choose("acad_CH.lsp", "acad_EN.lsp"),
       folder + "acad.lsp");
  EmptyAndRemoveFolder(cad);
  EmptyAndRemoveFolder(folder + payload::kCorelDir);
  CopySettingsFolders(job, folder);
  // One "\" more after the folder, which ends with one: the doubled
  // separator is what this install has always written; Windows accepts it.
  for (const char* font : kFonts)
    Copy(folder + "\\" + payload::kFontsDir + font, folder + "\\Fonts\\" + font);
  return AcadFolderResult::AcadInstalled;
}

void InstallAcadAddIn(const JobContext& job) {
  if (job.choices.auto_install == 0) {
    if (job.choices.install_path.empty()) return job.Fail(job.messages.path_error);
    const std::string folder = platform::WithTrailingSlash(job.choices.install_path);
    if (!PathExists(folder + "acad.exe")) return job.Fail(job.messages.path_error);
    if (InstallIntoAcadFolder(job, folder) == AcadFolderResult::ExtractionFailed) return;
    job.succeeded = 1;
    return;
  }
  const AcadWalk walk = ForEachAcadLocation([&job](const std::string& location) {
    return InstallIntoAcadFolder(job, location + "\\") == AcadFolderResult::ExtractionFailed
               ? AcadVisit::Stop
               : AcadVisit::Continue;
  });
  if (walk == AcadWalk::NoAcadKey) return job.Fail(job.messages.acad_not_found);
  if (walk == AcadWalk::Walked) job.succeeded = 1;
}

}  // namespace ovsetup::install
