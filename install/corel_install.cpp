#include "install/corel_install.h"

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

const CorelVersion CorelVersionTable[kCorelVersionCount] = {
    {"CorelDraw 11",
     {"SOFTWARE\\Corel\\Setup\\Corel Graphics Suite 11", "SOFTWARE\\Corel\\Setup\\CorelDRAW SA 11"},
     "Programs", "QVTCorel11.gms"},
    {"CorelDraw 12", {"SOFTWARE\\Corel\\Setup\\CorelDRAW Graphics Suite 12", nullptr},
     "Programs", "QVTCorel12.gms"},
    {"CorelDraw X3", {"SOFTWARE\\Corel\\Setup\\CorelDRAW Graphics Suite 13", nullptr},
     "Programs", "QVTCorelX34.gms"},
    {"CorelDraw X4", {"SOFTWARE\\Corel\\Setup\\CorelDRAW Graphics Suite 14", nullptr},
     "Programs", "QVTCorelX34.gms"},
    {"CorelDraw X5", {"SOFTWARE\\Corel\\Setup\\CorelDRAW Graphics Suite 15", nullptr},
     "Programs", "QVTCorelX5.gms"},
    {"CorelDraw X6(32bit)",
     {"SOFTWARE\\Corel\\Setup\\CorelDRAW Graphics Suite 16",
      "SOFTWARE\\Corel\\Setup\\CorelDRAW Technical Suite 16"},
     "Programs", "QVTCorelEx.gms"},
    {"CorelDraw X6(64bit)",
     {"SOFTWARE\\Corel\\Setup\\CorelDRAW Graphics Suite 16",
      "SOFTWARE\\Corel\\Setup\\CorelDRAW Technical Suite 16"},
     "Programs64", "QVTCorelEx64.gms"},
    {"CorelDraw X7/X8(32bit)",
     {"SOFTWARE\\Corel\\Setup\\CorelDRAW Graphics Suite 17",
      "SOFTWARE\\Corel\\Setup\\CorelDRAW Technical Suite 17"},
     "Programs", "QVTCorelEx.gms"},
    {"CorelDraw X7/X8(64bit)",
     {"SOFTWARE\\Corel\\Setup\\CorelDRAW Graphics Suite 17",
      "SOFTWARE\\Corel\\Setup\\CorelDRAW Technical Suite 17"},
     "Programs64", "QVTCorelEx64.gms"},
};

namespace {

const char* const kMacroVariants[] = {"QVTCorel11.gms", "QVTCorel12.gms", "QVTCorelX34.gms",
                                      "QVTCorelX5.gms", "QVTCorelEx.gms", "QVTCorelEx64.gms"};

void DeleteMacroVariants(const std::string& folder) {
  for (const char* macro : kMacroVariants) platform::DeleteOneFile(folder + macro);
}

// The row's "Destination", from the first candidate key that yields it.
bool FindCorelFolder(const CorelVersion& row, std::string* destination) {
  for (const char* key : row.keys) {
    if (key == nullptr) break;
    char buffer[kRegistryValueSize + 1] = {};
    std::uint32_t size = kRegistryValueSize;
    if (ReadRegistryString(platform::RegistryRoot::LocalMachine, key, "Destination", buffer,
                           &size) == 0) {
      buffer[size] = '\0';
      *destination = buffer;
      return true;
    }
  }
  return false;
}

}  // namespace

void InstallCorelMacro(const JobContext& job) {
  const int version = job.choices.corel_version;
  // The path dialog offers rows 0..8 only; anything else has no CorelDRAW.
  if (version < 0 || version >= kCorelVersionCount) return job.Fail(job.messages.path_error);
  const CorelVersion& row = CorelVersionTable[version];
  const bool manual = job.choices.auto_install == 0;

  std::string root, draw;
  if (manual) {
    if (job.choices.install_path.empty()) return job.Fail(job.messages.path_error);
    const std::string folder = platform::WithTrailingSlash(job.choices.install_path);
    if (!FolderExists(folder + row.programs)) return job.Fail(job.messages.path_error);
    root = folder + row.programs + "\\";
    draw = folder + "Draw\\";
  } else {
    std::string destination;
    if (!FindCorelFolder(row, &destination)) return job.Fail(job.messages.corel_not_found);
    // Inserted as read: a "Destination" ending in "\" gives a doubled one.
    root = destination + "\\" + row.programs + "\\";
    draw = destination + "\\Draw\\";
  }
  const std::string gms = draw + "GMS\\";
  std::vector<std::string> written = SettingsFoldersIn(root, false);
  written.insert(written.begin(), {root, draw, gms});
  if (!job.HoldFolders(written)) return;
  platform::CreateOneFolder(manual ? draw : gms);

  if (!job.ExtractAll(root, job.messages.close_corel, {gms + "QVTCorel.gms"})) return;
  if (manual) platform::CreateOneFolder(gms);
  const std::string cad = root + payload::kCadDir, corel = root + payload::kCorelDir;
  EmptyAndRemoveFolder(cad);
  DeleteMacroVariants(gms);
  platform::DeleteOneFile(gms + "QVTCorel.gms");
  DeleteMacroVariants(root);
  CopyFolderFiles(corel, root);
  if (!DeliverOrFail(job, corel + row.source_macro, gms + "QVTCorel.gms", KeepOld::No,
                     job.messages.close_corel))
    return;
  EmptyAndRemoveFolder(corel);
  DeleteMacroVariants(root);  // the copy of QVTCorel\ brought them back
  CopySettingsFolders(job, root);
  job.succeeded = 1;
}

}  // namespace ovsetup::install
