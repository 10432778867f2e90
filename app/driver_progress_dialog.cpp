#include "app/driver_progress_dialog.h"

#include "app/welcome_dialog.h"
#include "platform/win32/ui/busy_messages.h"
#include "resources/resource_ids.h"

namespace ovsetup::app {

DriverProgressDialog::DriverProgressDialog(WelcomeDialog* parent)
    : ui::ModelessDialog(IDD_DRIVERPROGRESS, parent->window()), m_pParent(parent) {}

int DriverProgressDialog::RunDriverInstall() {
  return drivers::RunDriverInstall(m_pParent->m_setupFile, *this, *this, this);
}

void DriverProgressDialog::Open() {
  Create();
  SetTitle(m_strCaption.c_str());
  if (m_nCenterX != 0 || m_nCenterY != 0) CenterOn(m_nCenterX, m_nCenterY);
  ui::HandleBusyMessages();  // painted before the extraction's first piece
}

void DriverProgressDialog::SetBarRange(int low, int high) {
  SetProgressRange(IDC_DRIVER_PROGRESS, low, high);
}

void DriverProgressDialog::SetBarPosition(int position) {
  SetProgressPosition(IDC_DRIVER_PROGRESS, position);
}

void DriverProgressDialog::ShowMessage(const char* text) {
  ui::ShowMessage(m_pParent->window(), text);
}

void DriverProgressDialog::Close() { DestroyWindow(); }

std::uint32_t DriverProgressDialog::GetStepCount() {
  return m_pfnGetStepCount ? (m_pParent->*m_pfnGetStepCount)() : 1;
}

void DriverProgressDialog::CyclePause() {
  if (m_pfnCyclePause) (m_pParent->*m_pfnCyclePause)();
}

void DriverProgressDialog::Advance(std::uint64_t, std::uint64_t) { ui::HandleBusyMessages(); }

}  // namespace ovsetup::app
