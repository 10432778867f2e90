// The setup's main window: what to install, the language, and the buttons
// that start the install or the USB driver install.
#pragma once

#include <cstdint>
#include <string>

#include "install/language_index.h"
#include "payload/extraction_progress.h"
#include "platform/setup_file.h"
#include "platform/win32/ui/dialog.h"

namespace ovsetup::app {

class WelcomeDialog : public ui::ModalDialog {
 public:
  // `setup_file` is the setup's own file, held open by the caller for the
  // run; every install and driver run reads it.
  WelcomeDialog(ui::WindowHandle parent, const platform::SetupFile& setup_file);

  // The install job the busy window runs: the two lists' selections and the
  // path dialog's answers go to the install engine, which tells `progress`
  // how far its extraction is; sets m_bInstallSucceeded.
  void InstallJob(payload::ExtractionProgress& progress);
  // The driver run's pacing; the pause keeps the windows answering.
  std::uint32_t GetDriverStepCount();
  void DriverCyclePause();

  std::string m_strProductName = "Orvane";  // ANSI code page
  int m_nLanguage = 1;                      // 1..4
  std::string m_strInstallPath;
  int m_bAutoInstall = 0;
  int m_nCorelVersion = 0;
  const int m_nCyclePauseMax = 350;
  const int m_nCyclePauseMin = 250;
  const int m_nDriverSteps = 22;
  ui::IconHandle m_hIcon;
  int m_bInstallSucceeded = 0;
  const platform::SetupFile& m_setupFile;

 protected:
  bool OnInitDialog() override;
  void OnCommand(int id, int code) override;
  bool OnSysCommand(unsigned command) override;
  bool OnPaint() override;
  ui::IconHandle OnQueryDragIcon() override { return m_hIcon; }

 private:
  void ApplyCaptions(install::LanguageIndex language);
  install::LanguageIndex SelectedLanguage() const;
  void OnSelchangeLanguage();
  void OnInstall();
  void OnInstallUsbDriver();
};

}  // namespace ovsetup::app
