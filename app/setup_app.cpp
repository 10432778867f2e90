#include "app/setup_app.h"

#include "app/welcome_dialog.h"
#include "config/setup_config.h"
#include "platform/setup_file.h"
#include "platform/win32/ui/dialog.h"

namespace ovsetup::app {
namespace {

// Shown, in both languages, when the setup's path has a character the
// system's code page lacks: its folder cannot be named without a stand-in.
// 安装程序所在文件夹的名称含有本系统无法表示的字符。请将安装程序移到其他文件夹后再运行。
constexpr char kUnnameableFolder[] =
    "\xB0\xB2\xD7\xB0\xB3\xCC\xD0\xF2\xCB\xF9\xD4\xDA\xCE\xC4\xBC\xFE\xBC\xD0\xB5\xC4\xC3\xFB"
    "\xB3\xC6\xBA\xAC\xD3\xD0\xB1\xBE\xCF\xB5\xCD\xB3\xCE\xDE\xB7\xA8\xB1\xED\xCA\xBE\xB5\xC4"
    "\xD7\xD6\xB7\xFB\xA1\xA3\xC7\xEB\xBD\xAB\xB0\xB2\xD7\xB0\xB3\xCC\xD0\xF2\xD2\xC6\xB5\xBD"
    "\xC6\xE4\xCB\xFB\xCE\xC4\xBC\xFE\xBC\xD0\xBA\xF3\xD4\xD9\xD4\xCB\xD0\xD0\xA1\xA3"
    "\r\n\r\n"
    "The name of the setup's folder has characters this system cannot represent. "
    "Move the setup to another folder and run it again.";

}  // namespace

int SetupApp::InitInstance() {
  ui::InitCommonControlClasses();
  // The setup's own file, held open (reads shared only) until the setup
  // ends: every extraction of the run reads it. One that cannot be opened
  // so is reported as a damaged setup when an install needs it.
  platform::SetupFile setup_file;
  if (platform::OpenRunningSetup(&setup_file) == platform::OwnFileOpen::kUnnameable) {
    ui::ShowMessage(nullptr, kUnnameableFolder);
    return 0;
  }
  const config::StartupValues values = config::ReadStartupValues(setup_file.path());

  WelcomeDialog welcome(nullptr, setup_file);
  welcome.m_strProductName = values.product_name;
  welcome.m_nLanguage = values.language.Number();
  welcome.DoModal();
  return 0;
}

}  // namespace ovsetup::app
