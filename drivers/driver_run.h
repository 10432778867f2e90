// The USB driver run: extract the driver kits into the system folder, place
// the serial-port kit, start the driver-package installer and wait for it
// while the bar moves, report, clean up.
#pragma once

#include <cstdint>
#include <string>

#include "install/language_index.h"
#include "payload/extraction_progress.h"
#include "payload/payload_walk.h"

namespace ovsetup::drivers {

// The progress window as the run drives it. DriverProgressDialog shows a
// real window; the headless runner prints.
class DriverRunWindow {
 public:
  virtual ~DriverRunWindow() = default;
  // Creates the window with its caption, centred where the owner asked.
  virtual void Open() = 0;
  virtual void SetBarRange(int low, int high) = 0;
  virtual void SetBarPosition(int position) = 0;
  // Shows `text` (ANSI code page) in the standard OK box; returns when closed.
  virtual void ShowMessage(const char* text) = 0;
  // Told why the extraction stopped, right before its text is shown.
  virtual void OnExtractionStopped(const payload::WalkResult& /*result*/) {}
  // Destroys the window.
  virtual void Close() = 0;
};

// The owner's two callbacks.
class DriverRunPacing {
 public:
  virtual ~DriverRunPacing() = default;
  // Wait cycles in which the bar fills (the welcome window gives 22).
  virtual std::uint32_t GetStepCount() = 0;
  // Called once per wait cycle while the installer runs.
  virtual void CyclePause() = 0;
};

// The progress window's caption: "安装驱动..." (GBK) for language index 0,
// "Installing the driver..." for any other index.
const char* DriverWindowCaption(install::LanguageIndex language);

// The driver-package installer the run starts, in the payload's "QVTDriver\".
inline constexpr char kDriverInstallerFile[] = "InstallDriver.exe";

// Outcome texts, English in every language.
constexpr char kDriverInstallOk[] = "Install OK!";
constexpr char kDriverInstallError[] = "error!";

// Runs the whole driver install from the payload in `setup_file` (the setup
// executable, held open for the run and read through that open file).
// Always returns 1: every outcome is one message box (an extraction that
// stopped: install::ExtractionStopText of the English message set, in every
// language, with "error!" as the run's own text and for a folder it cannot
// trust).
// `progress`, when given, is told how far the extraction of the driver kits
// is.
int RunDriverInstall(const platform::SetupFile& setup_file, DriverRunWindow& window,
                     DriverRunPacing& pacing, payload::ExtractionProgress* progress = nullptr);

}  // namespace ovsetup::drivers
