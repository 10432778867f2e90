// install: one install job, its message boxes printed as lines.
#include <cstdio>

#include "config/setup_config.h"
#include "install/install_job.h"
#include "platform/text_codec.h"
#include "tools/headless/commands.h"
#include "tools/headless/headless_text.h"

namespace ovsetup::headless {
namespace {

class PrintingSink : public install::MessageSink {
 public:
  void ShowMessage(const char* text) override {
    std::printf("%s\n", Utf8FromGbk(text).c_str());
    std::fflush(stdout);
  }
  void OnExtractionStopped(const payload::WalkResult& result) override {
    PrintExtractionStop(result);
  }
};

}  // namespace

int RunInstall(const std::vector<std::string>& args) {
  std::string setup_file;
  install::InstallChoices choices;
  bool have_type = false, have_language = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    const bool has_value = i + 1 < args.size();
    if (a == "--setup" && has_value) setup_file = args[++i];
    else if (a == "--type" && has_value && ParseInteger(args[i + 1], &choices.install_type)) have_type = true, ++i;
    else if (a == "--language" && has_value && ParseInteger(args[i + 1], &choices.language_index)) have_language = true, ++i;
    else if (a == "--path" && has_value) choices.install_path = platform::PathFromHost(args[++i]);
    else if (a == "--auto") choices.auto_install = 1;
    else if (a == "--corel-version" && has_value && ParseInteger(args[i + 1], &choices.corel_version)) ++i;
    else return Usage("install: unexpected or incomplete argument \"" + a + "\"");
  }
  if (setup_file.empty() || !have_type || !have_language)
    return Usage("install: --setup FILE, --type N and --language L are required");

  // Opened once, as setup.exe opens itself: the run reads only this file.
  platform::SetupFile setup;
  (void)setup.Open(SetupFileFromArgument(setup_file));
  choices.product_name = config::ReadStartupValues(setup.path()).product_name;
  PrintingSink sink;
  int succeeded = 0;
  install::RunInstallJob(choices, setup, sink, succeeded);
  if (!succeeded) return kExitFailed;
  sink.ShowMessage(install::SuccessText(install::LanguageIndex(choices.language_index)));
  return kExitOk;
}

}  // namespace ovsetup::headless
