#include "install/install_job.h"

#include "install/acad_install.h"
#include "install/ai_install.h"
#include "install/corel_install.h"
#include "install/program_install.h"
#include "platform/path_text.h"

namespace ovsetup::install {

int LanguageNumber(int language_index) {
  return language_index >= 0 && language_index <= 3 ? language_index + 1 : 1;
}

void RunInstallJob(const InstallChoices& choices, const std::string& setup_file,
                   MessageSink& sink, int& succeeded) {
  succeeded = 0;
  const JobContext job{choices,     LanguageNumber(choices.language_index),
                       platform::FolderOf(setup_file), setup_file,
                       MessageSetFor(choices.language_index), sink, succeeded};
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
