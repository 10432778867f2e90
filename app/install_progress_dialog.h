// The caption-only busy window under which the install job runs, with a bar
// that shows how far the job's extraction is.
#pragma once

#include <cstdint>
#include <string>

#include "payload/extraction_progress.h"
#include "platform/win32/ui/dialog.h"

namespace ovsetup::app {

class WelcomeDialog;

class InstallProgressDialog : public ui::ModelessDialog, private payload::ExtractionProgress {
 public:
  // The job, told to report its extraction to `progress`.
  using Job = void (WelcomeDialog::*)(payload::ExtractionProgress& progress);

  explicit InstallProgressDialog(WelcomeDialog* parent);

  // Stores the job; call before RunJob.
  void SetJob(Job job) { m_pfnJob = job; }

  // Shows the window (caption m_strCaption, centred on the centre point
  // unless both are 0, the bar empty), runs the job on the owner to its end
  // with this window's bar as its progress, destroys the window. Always 1.
  int RunJob();

  std::string m_strCaption;  // GBK
  int m_nCenterX = 0;
  int m_nCenterY = 0;

 private:
  // Moves the bar to done / total of its length (full for a total of 0) and
  // handles the messages waiting meanwhile, so the windows keep answering.
  void Advance(std::uint64_t done, std::uint64_t total) override;

  Job m_pfnJob = nullptr;
  WelcomeDialog* m_pParent;
  int m_nBarPosition = 0;
};

}  // namespace ovsetup::app
