#include "install/program_install.h"

#include "install/file_tree.h"
#include "install/kept_copy.h"
#include "install/settings_folders.h"
#include "payload/folder_names.h"
#include "payload/payload_archive.h"
#include "payload/stored_path_rules.h"
#include "platform/file_io.h"
#include "platform/path_text.h"
#include "platform/shell_folders.h"
#include "platform/shell_link.h"

namespace ovsetup::install {
void InstallProgram(const JobContext& job) {
  // An empty path would install into the root of the current drive.
  if (job.choices.install_path.empty()) return job.Fail(job.messages.path_error);
  const std::string folder = platform::WithTrailingSlash(job.choices.install_path) + "Orvane\\";
  std::vector<std::string> written = SettingsFoldersIn(folder, true);
  written.insert(written.begin(), folder);
  if (!job.HoldFolders(written)) return;
  platform::CreateOneFolder(folder);
  if (!job.ExtractAll(folder, job.messages.program_running)) return;

  const platform::CopyPieces ticks = job.progress.Ticks(), copied = job.progress.Copied();
  EmptyFolder(folder + payload::kCadDir, ticks);
  EmptyFolder(folder + payload::kCorelDir, ticks);
  platform::RemoveOneFolder(folder + payload::kCadDir);
  platform::RemoveOneFolder(folder + payload::kCorelDir);
  EmptyAndRemoveFolder(folder + payload::kAiDir, ticks);

  using payload::kCfgDir, payload::kDocDir, payload::kLanguageDir, payload::kResDir;
  for (const char* settings : {kDocDir, kLanguageDir, kResDir, kCfgDir})
    platform::CreateOneFolder(folder + settings);
  CopySettingsFilesKeepingOld(job.source_folder + kCfgDir, folder + kCfgDir, job.language_number,
                              copied, ticks);
  CopyFolderFiles(job.source_folder + kDocDir, folder + kDocDir, copied);
  CopyFolderFiles(job.source_folder + kLanguageDir, folder + kLanguageDir, copied);
  CopyFolderFiles(job.source_folder + kResDir, folder + kResDir, copied);

  const std::string program = folder + payload::kProgramsDir + kProgramFile;
  const std::string icon = folder + kResDir + "title.ico";
  const std::string uninstaller = folder + payload::kProgramsDir + kUninstallerFile;
  // The product name names the program shortcuts only where it makes one file
  // name Windows can hold in the folder meant for it (no other folder, no
  // device, no stream); otherwise they take the program's own name.
  std::string name = job.choices.product_name + ".lnk";
  using payload::PayloadFault;
  if (job.choices.product_name.empty() || payload::CheckFileName(name) != PayloadFault::kNone)
    name = "Orvane.lnk";
  // A failed folder lookup only costs that folder's shortcuts.
  std::string desktop, menu;
  const bool have_desktop = platform::GetShellFolder(platform::ShellFolder::kDesktop, &desktop);
  const bool have_menu = platform::GetShellFolder(platform::ShellFolder::kPrograms, &menu);
  desktop += "\\";
  menu += "\\Orvane\\";
  if (have_menu) platform::CreateOneFolder(menu);
  if (have_desktop) platform::CreateShortcutWithIcon(program, desktop + name, program, icon);
  if (have_menu) {
    platform::CreateShortcutWithIcon(program, menu + name, program, icon);
    platform::CreateShortcut(uninstaller, menu + "Uninstall.lnk", uninstaller);
  }
  job.succeeded = 1;
}

}  // namespace ovsetup::install
