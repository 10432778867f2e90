#include "app/welcome_dialog.h"

#include "app/about_dialog.h"
#include "app/corel_path_dialog.h"
#include "app/driver_progress_dialog.h"
#include "app/install_progress_dialog.h"
#include "drivers/driver_pacing.h"
#include "install/install_job.h"
#include "platform/win32/ui/busy_messages.h"
#include "resources/resource_ids.h"

namespace ovsetup::app {
namespace {

// Captions in the order they are applied: title, 1015, 1016, 1002, 1017.
struct Captions {
  const char* texts[5];
};
const Captions kChinese = {{
    "\xBB\xB6\xD3\xAD\xCA\xB9\xD3\xC3",          // 欢迎使用
    "\xC0\xE0\xD0\xCD:",                          // 类型:
    "\xD3\xEF\xD1\xD4:",                          // 语言:
    "\xB0\xB2\xD7\xB0",                           // 安装
    "USB\xC7\xFD\xB6\xAF\xB0\xB2\xD7\xB0",        // USB驱动安装
}};
// "Lanuage:" is the shipped spelling.
const Captions kEnglish = {{"Welcome to use", "Type:", "Lanuage:", "Install", "Install USB Driver"}};
const int kCaptionTargets[] = {IDC_TYPE_LABEL, IDC_LANGUAGE_LABEL, IDC_INSTALL,
                               IDC_INSTALL_USB_DRIVER};

const char* const kPluginTypes[] = {"Plugin For CorelDraw", "Plugin For AutoCAD",
                                    "Plugin For Illustrator CS(32bit)",
                                    "Plugin For Illustrator CS(64bit)"};
const char* const kLanguages[] = {"\xBC\xF2\xCC\xE5\xD6\xD0\xCE\xC4" /* 简体中文 */,
                                  "Traditional Chinese", "English", "Other"};

// The job's message boxes.
class MessageBoxSink : public install::MessageSink {
 public:
  explicit MessageBoxSink(ui::WindowHandle main_window) : main_window_(main_window) {}
  void ShowMessage(const char* text) override { ui::ShowMessage(main_window_, text); }

 private:
  ui::WindowHandle main_window_;
};

}  // namespace

WelcomeDialog::WelcomeDialog(ui::WindowHandle parent, const platform::SetupFile& setup_file)
    : ui::ModalDialog(IDD_WELCOME, parent),
      m_hIcon(ui::LoadAppIcon(IDR_MAINFRAME)),
      m_setupFile(setup_file) {}

bool WelcomeDialog::OnInitDialog() {
  AppendSystemMenuItem(IDM_ABOUTBOX, IDS_ABOUTBOX);
  SetIcons(m_hIcon);
  const install::LanguageIndex start = install::LanguageIndex::FromNumber(m_nLanguage);
  ApplyCaptions(start);
  // The product name comes from SetupCfg.ini, which release engineers write
  // in GBK; it is shown as GBK on any system.
  ComboAppend(IDC_INSTALL_TYPE, m_strProductName.c_str());
  for (const char* type : kPluginTypes) ComboAppend(IDC_INSTALL_TYPE, type);
  ComboSelect(IDC_INSTALL_TYPE, 0);
  for (const char* language : kLanguages) ComboAppend(IDC_LANGUAGE, language);
  ComboSelect(IDC_LANGUAGE, start.value());
  return true;
}

void WelcomeDialog::ApplyCaptions(install::LanguageIndex language) {
  const Captions& captions = language.Choose(kChinese, kEnglish);
  SetTitle(captions.texts[0]);
  for (int i = 0; i < 4; ++i) SetItemText(kCaptionTargets[i], captions.texts[i + 1]);
}

void WelcomeDialog::OnCommand(int id, int code) {
  if (id == IDC_LANGUAGE && code == ui::kSelChange) OnSelchangeLanguage();
  else if (code != ui::kClicked) return;
  else if (id == IDC_INSTALL) OnInstall();
  else if (id == IDC_INSTALL_USB_DRIVER || id == IDC_DRIVER_INSTALL_HIDDEN) OnInstallUsbDriver();
}

bool WelcomeDialog::OnSysCommand(unsigned command) {
  if ((command & 0xFFF0) != IDM_ABOUTBOX) return false;
  AboutDialog about(window());
  about.DoModal();
  return true;
}

bool WelcomeDialog::OnPaint() {
  if (!IsMinimized()) return false;
  PaintIconCentered(m_hIcon);
  return true;
}

void WelcomeDialog::OnSelchangeLanguage() { ApplyCaptions(SelectedLanguage()); }

install::LanguageIndex WelcomeDialog::SelectedLanguage() const {
  return install::LanguageIndex(ComboSelection(IDC_LANGUAGE));
}

void WelcomeDialog::OnInstall() {
  const install::LanguageIndex language = SelectedLanguage();
  const int type = ComboSelection(IDC_INSTALL_TYPE);
  // Owned by this, the main window, which it disables while open.
  CorelPathDialog path(window());
  path.m_nLanguageIndex = language.value();
  path.m_nInstallType = type;
  if (path.DoModal() != ui::kIdOk) return;
  m_bAutoInstall = path.m_bAuto;
  m_strInstallPath = path.m_strPath;
  m_nCorelVersion = path.m_nCorelVersion;

  // One job at a time: until the outcome has been read, this window takes
  // no command, and what the user did meanwhile is dropped.
  BusyScope busy(*this);
  const ui::ScreenPoint center = WindowCenter();
  ui::WaitCursor wait;
  InstallProgressDialog runner(this);
  runner.m_strCaption = "";
  runner.m_nCenterX = center.x;
  runner.m_nCenterY = center.y;
  m_bInstallSucceeded = 0;
  runner.SetJob(&WelcomeDialog::InstallJob);
  runner.RunJob();
  if (m_bInstallSucceeded) ui::ShowMessage(window(), install::SuccessText(language));
}

void WelcomeDialog::InstallJob(payload::ExtractionProgress& progress) {
  install::InstallChoices choices;
  choices.language_index = ComboSelection(IDC_LANGUAGE);
  choices.install_type = ComboSelection(IDC_INSTALL_TYPE);
  choices.install_path = m_strInstallPath;
  choices.auto_install = m_bAutoInstall;
  choices.corel_version = m_nCorelVersion;
  choices.product_name = m_strProductName;
  MessageBoxSink sink(window());
  install::RunInstallJob(choices, m_setupFile, sink, m_bInstallSucceeded, &progress);
}

void WelcomeDialog::OnInstallUsbDriver() {
  const install::LanguageIndex language = SelectedLanguage();
  BusyScope busy(*this);  // one job at a time, as for the install
  const ui::ScreenPoint center = WindowCenter();
  ui::WaitCursor wait;
  DriverProgressDialog progress(this);
  progress.m_strCaption = drivers::DriverWindowCaption(language);
  progress.m_nCenterX = center.x;
  progress.m_nCenterY = center.y;
  progress.SetCallbacks(&WelcomeDialog::GetDriverStepCount, &WelcomeDialog::DriverCyclePause);
  progress.RunDriverInstall();
}

std::uint32_t WelcomeDialog::GetDriverStepCount() {
  return static_cast<std::uint32_t>(m_nDriverSteps);
}

void WelcomeDialog::DriverCyclePause() {
  ui::WaitHandlingBusyMessages(drivers::DrawCyclePauseMs(static_cast<unsigned>(m_nCyclePauseMin),
                                                         static_cast<unsigned>(m_nCyclePauseMax)));
}

}  // namespace ovsetup::app
