// The About box: the application icon, "OvSetup 1.0 版" and OK.
#pragma once

#include "platform/win32/dialog.h"
#include "resources/resource_ids.h"

namespace ovsetup::app {

class AboutDialog : public ui::Dialog {
 public:
  AboutDialog() : ui::Dialog(IDD_ABOUTBOX, nullptr) {}
};

}  // namespace ovsetup::app
