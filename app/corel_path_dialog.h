// Asks for the install path, "Auto to Install" and the CorelDRAW version
// before every install; which controls are usable depends on the type.
#pragma once

#include <string>

#include "platform/win32/ui/dialog.h"

namespace ovsetup::app {

class CorelPathDialog : public ui::ModalDialog {
 public:
  explicit CorelPathDialog(ui::WindowHandle parent);

  // Answers, set by OnOK (not on Cancel).
  std::string m_strPath;
  int m_bAuto = 0;
  int m_nCorelVersion = 0;
  // Set by the caller before DoModal.
  int m_nLanguageIndex = 0;  // 0: Chinese captions, else English
  int m_nInstallType = 0;    // 0..4

 protected:
  bool OnInitDialog() override;
  void OnOK() override;
  void OnCommand(int id, int code) override;

 private:
  void OnAutoInstall();
  void OnBrowse();
};

}  // namespace ovsetup::app
