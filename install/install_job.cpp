#include "install/install_job.h"

#include "install/acad_install.h"
#include "install/ai_install.h"
#include "install/corel_install.h"
#include "install/program_install.h"
#include "platform/path_text.h"

namespace ovsetup::install {

void RunInstallJob(const InstallChoices& choices, const platform::SetupFile& setup_file,
                   MessageSink& sink, int& succeeded, payload::ExtractionProgress* progress) {
  succeeded = 0;
  const LanguageIndex language(choices.language_index);
  const JobContext job{choices,    language.Number(),       platform::FolderOf(setup_file.path()),
                       setup_file, MessageSetFor(language), sink, succeeded,
                       progress};
  switch (choices.install_type) {
    case 0: InstallProgram(job); break;
    case 1: InstallCorelMacro(job); break;
    case 2: InstallAcadAddIn(job); break;
    case 3:
    case 4: InstallAiPlugin(job); break;
    default: succeeded = 1; break;
  }
}

}  // namespace ovsetup::install
