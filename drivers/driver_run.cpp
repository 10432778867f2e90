#include "drivers/driver_run.h"

#include "drivers/driver_placement.h"
#include "install/message_set.h"
#include "payload/folder_names.h"
#include "payload/payload_archive.h"
#include "platform/file_ops.h"
#include "platform/path_text.h"
#include "platform/process.h"
#include "platform/system_info.h"

namespace ovsetup::drivers {
namespace {

// The serial-port kit's files removed after the installer ran, in order.
// The four co-installers and the whole QVTDriver folder stay.
const char* const kCleanUp[] = {
    "UsbDriver.exe", "ftd2xx.dll",  "Qvtvcomdrv.inf", "Qvtvcomdrv.cat", "qvt512m.005",
    "qvt512u.005",   "qvt512m.006", "qvt512u.006",    "qvt512m2.006",   "qvt512u2.006",
};

// Starts the installer and waits for it in 100 ms cycles, moving the bar.
// False when it cannot be started.
bool RunInstaller(const std::string& installer, DriverRunWindow& window,
                  DriverRunPacing& pacing, std::uint32_t steps) {
  platform::ChildProcess child;
  if (!child.Start(installer)) return false;
  std::uint32_t counter = 0;
  for (;;) {
    if (counter < steps) ++counter;
    if (child.WaitForEnd(100)) break;
    window.SetBarPosition(static_cast<int>(counter * 100u / steps));
    pacing.CyclePause();
  }
  window.SetBarPosition(100);
  return true;
}

}  // namespace

const char* DriverWindowCaption(install::LanguageIndex language) {
  return language.Choose("\xB0\xB2\xD7\xB0\xC7\xFD\xB6\xAF..." /* 安装驱动... */,
                         "Installing the driver...");
}

int RunDriverInstall(const platform::SetupFile& setup_file, DriverRunWindow& window,
                     DriverRunPacing& pacing, payload::ExtractionProgress* progress) {
  window.Open();
  // Every bar position divides by the step count; a count of 0 would be a
  // division by zero, so it counts as one step.
  std::uint32_t steps = pacing.GetStepCount();
  if (steps == 0) steps = 1;
  window.SetBarRange(0, 100);

  std::string scratch;
  if (!platform::GetSystemFolder(&scratch)) {
    window.ShowMessage(kDriverInstallError);
    window.Close();
    return 1;
  }
  scratch = platform::WithTrailingSlash(scratch);
  const payload::WalkResult extraction = payload::PayloadArchive(setup_file)
                                             .Extract(scratch, payload::Selection::kDriverSubset,
                                                      progress);
  if (!extraction.ok()) {
    // The outcome texts are English in every language (index 2: English).
    window.OnExtractionStopped(extraction);
    // A folder it cannot trust: "error!", as the run's other failures.
    window.ShowMessage(
        extraction.fault == payload::PayloadFault::kUntrustedLink
            ? kDriverInstallError
            : install::ExtractionStopText(install::MessageSetFor(install::LanguageIndex(2)),
                                          extraction, kDriverInstallError)
                  .c_str());
    window.Close();
    return 1;
  }
  const std::string kit = scratch + payload::kSerialDriverFolder + "\\";
  PlaceDriverFiles(kit);

  const std::string installer = scratch + payload::kUsbDriverFolder + "\\" + kDriverInstallerFile;
  const bool ran = RunInstaller(installer, window, pacing, steps);
  window.ShowMessage(ran ? kDriverInstallOk : kDriverInstallError);
  platform::SleepFor(100);
  for (const char* file : kCleanUp) platform::DeleteOneFile(kit + file);
  window.Close();
  return 1;
}

}  // namespace ovsetup::drivers
