#include "install/install_job.h"

#include "install/acad_install.h"
#include "install/ai_install.h"
#include "install/corel_install.h"
#include "install/program_install.h"
#include "install/settings_folders.h"
#include "platform/path_text.h"

namespace ovsetup::install {

void RunInstallJob(const InstallChoices& choices, const platform::SetupFile& setup_file,
                   MessageSink& sink, int& succeeded, payload::ExtractionProgress* progress) {
  succeeded = 0;
  const LanguageIndex language(choices.language_index);
  const std::string source_folder = platform::FolderOf(setup_file.path());
  const SettingsSize settings = SizeOfSettingsFolders(source_folder, choices.install_type == 0);
  JobProgress job_progress(progress, settings.bytes);
  platform::WrittenFolders written;
  const JobContext job{choices,    language.Number(),       source_folder,
                       setup_file, MessageSetFor(language), sink, succeeded,
                       job_progress, settings.on_disk,      written};
  switch (choices.install_type) {
    case 0: InstallProgram(job); break;
    case 1: InstallCorelMacro(job); break;
    case 2: InstallAcadAddIn(job); break;
    case 3:
    case 4: InstallAiPlugin(job); break;
    default: succeeded = 1; break;
  }
  if (succeeded == 1) job_progress.Finish();
}

}  // namespace ovsetup::install
