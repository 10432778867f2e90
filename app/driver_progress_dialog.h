// The progress window of the USB driver run: template 130 with bar 1009,
// paced by two operations of the welcome window.
#pragma once

#include <cstdint>
#include <string>

#include "drivers/driver_run.h"
#include "payload/extraction_progress.h"
#include "platform/win32/ui/dialog.h"

namespace ovsetup::app {

class WelcomeDialog;

class DriverProgressDialog : public ui::ModelessDialog,
                             private drivers::DriverRunWindow,
                             private drivers::DriverRunPacing,
                             private payload::ExtractionProgress {
 public:
  using StepCountFn = std::uint32_t (WelcomeDialog::*)();
  using CyclePauseFn = void (WelcomeDialog::*)();

  explicit DriverProgressDialog(WelcomeDialog* parent);

  void SetCallbacks(StepCountFn step_count, CyclePauseFn cycle_pause) {
    m_pfnGetStepCount = step_count;
    m_pfnCyclePause = cycle_pause;
  }

  // The whole driver run from this setup's payload; always 1.
  int RunDriverInstall();

  int m_nCenterX = 0;
  int m_nCenterY = 0;
  std::string m_strCaption;  // GBK

 private:
  // The run's window.
  void Open() override;
  void SetBarRange(int low, int high) override;
  void SetBarPosition(int position) override;
  void ShowMessage(const char* text) override;
  void Close() override;
  // The run's pacing, asked of the welcome window.
  std::uint32_t GetStepCount() override;
  void CyclePause() override;
  // The extraction of the driver kits: the windows handle their messages
  // (the bar stays where it is).
  void Advance(std::uint64_t done, std::uint64_t total) override;

  StepCountFn m_pfnGetStepCount = nullptr;
  CyclePauseFn m_pfnCyclePause = nullptr;
  WelcomeDialog* m_pParent;
};

}  // namespace ovsetup::app
