#include "app/install_progress_dialog.h"

#include "app/welcome_dialog.h"
#include "platform/system_info.h"
#include "resources/resource_ids.h"

namespace ovsetup::app {

InstallProgressDialog::InstallProgressDialog(WelcomeDialog* parent)
    : ui::ModelessDialog(IDD_INSTALLPROGRESS, parent->window()), m_pParent(parent) {}

int InstallProgressDialog::RunJob() {
  Create();  // the template is visible: it shows at once
  SetTitle(m_strCaption.c_str());
  platform::SleepFor(10);
  if (m_nCenterX != 0 || m_nCenterY != 0) CenterOn(m_nCenterX, m_nCenterY);
  if (m_pfnJob != nullptr) (m_pParent->*m_pfnJob)();
  DestroyWindow();
  return 1;
}

}  // namespace ovsetup::app
