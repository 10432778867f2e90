// The About box: the application icon, "OvSetup 1.0 版" and OK.
#pragma once

#include "platform/win32/ui/dialog.h"
#include "resources/resource_ids.h"

namespace ovsetup::app {

// Owned by the main window, which it disables while open.
class AboutDialog : public ui::ModalDialog {
 public:
  explicit AboutDialog(ui::WindowHandle main_window) : ui::ModalDialog(IDD_ABOUTBOX, main_window) {}
};

}  // namespace ovsetup::app
