#include "app/setup_app.h"

#include "app/welcome_dialog.h"
#include "config/setup_config.h"
#include "platform/win32/ui/dialog.h"

namespace ovsetup::app {

int SetupApp::InitInstance() {
  ui::InitCommonControlClasses();
  const config::StartupValues values = config::ReadStartupValues(ui::ModuleFileName());

  WelcomeDialog welcome(nullptr);
  welcome.m_strProductName = values.product_name;
  welcome.m_nLanguage = values.language.Number();
  welcome.DoModal();
  return 0;
}

}  // namespace ovsetup::app
