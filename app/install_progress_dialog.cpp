#include "app/install_progress_dialog.h"

#include "app/welcome_dialog.h"
#include "platform/system_info.h"
#include "platform/win32/ui/busy_messages.h"
#include "resources/resource_ids.h"

namespace ovsetup::app {
namespace {

// The bar's range is 0..kBarEnd: finer than its width in pixels.
constexpr int kBarEnd = 1000;

}  // namespace

InstallProgressDialog::InstallProgressDialog(WelcomeDialog* parent)
    : ui::ModelessDialog(IDD_INSTALLPROGRESS, parent->window()), m_pParent(parent) {}

int InstallProgressDialog::RunJob() {
  Create();  // the template is visible: it shows at once
  SetTitle(m_strCaption.c_str());
  SetProgressRange(IDC_INSTALL_PROGRESS, 0, kBarEnd);
  platform::SleepFor(10);
  if (m_nCenterX != 0 || m_nCenterY != 0) CenterOn(m_nCenterX, m_nCenterY);
  ui::HandleBusyMessages();  // painted before the job's first piece
  if (m_pfnJob != nullptr) (m_pParent->*m_pfnJob)(*this);
  DestroyWindow();
  return 1;
}

void InstallProgressDialog::Advance(std::uint64_t done, std::uint64_t total) {
  // A total of 0 is not known yet: the bar stays where it is.
  const int position = total == 0    ? m_nBarPosition
                       : done >= total ? kBarEnd
                                       : static_cast<int>(done * kBarEnd / total);
  if (position != m_nBarPosition) SetProgressPosition(IDC_INSTALL_PROGRESS, position);
  m_nBarPosition = position;
  ui::HandleBusyMessages();
}

}  // namespace ovsetup::app
