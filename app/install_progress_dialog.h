// The caption-only busy window under which the install job runs.
#pragma once

#include <string>

#include "platform/win32/ui/dialog.h"

namespace ovsetup::app {

class WelcomeDialog;

class InstallProgressDialog : public ui::ModelessDialog {
 public:
  using Job = void (WelcomeDialog::*)();

  explicit InstallProgressDialog(WelcomeDialog* parent);

  // Stores the job; call before RunJob.
  void SetJob(Job job) { m_pfnJob = job; }

  // Shows the window (caption m_strCaption, centred on the centre point
  // unless both are 0), runs the job on the owner to its end, destroys the
  // window. Always 1.
  int RunJob();

  std::string m_strCaption;  // GBK
  int m_nCenterX = 0;
  int m_nCenterY = 0;

 private:
  Job m_pfnJob = nullptr;
  WelcomeDialog* m_pParent;
};

}  // namespace ovsetup::app
