#include "app/setup_app.h"

#include "app/setup_config.h"
#include "app/welcome_dialog.h"
#include "platform/win32/dialog.h"

namespace ovsetup::app {

int SetupApp::InitInstance() {
  ui::InitCommonControlClasses();
  const std::string setup_file = ui::ModuleFileName();
  std::string product_name = kDefaultProductName;
  int language = 0;
  ReadSetupConfig(SetupConfigPath(setup_file), &product_name, &language);

  WelcomeDialog welcome(nullptr);
  welcome.m_strProductName = product_name;
  welcome.m_nLanguage = ClampLanguage(language);
  welcome.DoModal();
  return 0;
}

}  // namespace ovsetup::app
