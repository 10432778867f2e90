// drivers: the USB driver run, its window printed as lines.
#include <cstdio>
#include <cstring>

#include "drivers/driver_pacing.h"
#include "drivers/driver_run.h"
#include "tools/headless/commands.h"
#include "tools/headless/headless_text.h"

namespace ovsetup::headless {
namespace {

// Prints the caption when the window opens, each bar position, and the
// message; remembers whether it was the success text.
class PrintingWindow : public drivers::DriverRunWindow {
 public:
  explicit PrintingWindow(const char* caption) : caption_(caption) {}
  void Open() override { Print(Utf8FromGbk(caption_)); }
  void SetBarRange(int, int) override {}
  void SetBarPosition(int position) override { Print("progress " + std::to_string(position)); }
  void ShowMessage(const char* text) override {
    ok_ = std::strcmp(text, drivers::kDriverInstallOk) == 0;
    Print(Utf8FromGbk(text));
  }
  void OnExtractionStopped(const payload::WalkResult& result) override {
    PrintExtractionStop(result);
  }
  void Close() override {}
  bool ok() const { return ok_; }

 private:
  static void Print(const std::string& line) {
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
  }
  const char* caption_;
  bool ok_ = false;
};

}  // namespace

int RunDrivers(const std::vector<std::string>& args) {
  std::string setup_file;
  int language = -1;
  bool have_language = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const bool has_value = i + 1 < args.size();
    if (args[i] == "--setup" && has_value) setup_file = args[++i];
    else if (args[i] == "--language" && has_value && ParseInteger(args[i + 1], &language)) have_language = true, ++i;
    else return Usage("drivers: unexpected or incomplete argument \"" + args[i] + "\"");
  }
  if (setup_file.empty() || !have_language)
    return Usage("drivers: --setup FILE and --language L are required");
  PrintingWindow window(drivers::DriverWindowCaption(install::LanguageIndex(language)));
  drivers::StandardDriverPacing pacing;
  platform::SetupFile setup;  // opened once, as setup.exe opens itself
  (void)setup.Open(SetupFileFromArgument(setup_file));
  drivers::RunDriverInstall(setup, window, pacing);
  return window.ok() ? kExitOk : kExitFailed;
}

}  // namespace ovsetup::headless
