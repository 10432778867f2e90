#include "install/ai_install.h"

#include "install/file_tree.h"
#include "install/kept_copy.h"
#include "install/settings_folders.h"
#include "payload/folder_names.h"
#include "payload/payload_archive.h"
#include "platform/file_io.h"
#include "platform/file_ops.h"
#include "platform/path_text.h"

namespace ovsetup::install {
void InstallAiPlugin(const JobContext& job) {
  if (job.choices.install_path.empty()) return job.Fail(job.messages.path_error);
  const std::string base = platform::WithTrailingSlash(job.choices.install_path);
  std::string windows = base + "Support Files\\Contents\\Windows";
  std::string plugins = base + "Support Files\\Required\\Plug-ins";
  if (!FolderExists(windows) || !FolderExists(plugins)) return job.Fail(job.messages.path_error);
  windows += "\\";
  plugins += "\\";
  const std::string& root = windows;
  // Every folder from the Illustrator folder down to the two it writes.
  std::vector<std::string> written = SettingsFoldersIn(root, false);
  written.insert(written.begin(), {base + "Support Files\\", base + "Support Files\\Contents\\",
                                   windows, base + "Support Files\\Required\\", plugins});
  if (!job.HoldFolders(written)) return;

  // The installed name follows the language only; the source also the type.
  const bool chinese = job.language().IsChinese();
  const bool bits64 = job.choices.install_type == 4;
  // The set has no Illustrator text.
  if (!job.ExtractAll(root, job.messages.close_corel, {plugins + AiPluginFile(chinese, false)}))
    return;
  EmptyAndRemoveFolder(root + payload::kCadDir);
  EmptyAndRemoveFolder(root + payload::kCorelDir);
  platform::DeleteOneFile(plugins + "QVTPlugin.aip");
  platform::DeleteOneFile(plugins + "QVTPluginEn.aip");

  if (!DeliverOrFail(job, root + payload::kAiDir + AiPluginFile(chinese, bits64),
                     plugins + AiPluginFile(chinese, false), KeepOld::No,
                     job.messages.close_corel))
    return;
  EmptyAndRemoveFolder(root + payload::kAiDir);
  for (const char* macro : {"QVTCorel11.gms", "QVTCorel12.gms", "QVTCorelEx.gms", "QVTCorelX5.gms"})
    platform::DeleteOneFile(root + macro);
  CopySettingsFolders(job, root);
  job.succeeded = 1;
}

}  // namespace ovsetup::install
