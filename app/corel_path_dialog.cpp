#include "app/corel_path_dialog.h"

#include "app/folder_browser.h"
#include "install/corel_install.h"
#include "install/language_index.h"
#include "resources/resource_ids.h"

namespace ovsetup::app {
namespace {

// Captions in the order they are applied: title, 1011, 1013, 1014, 1007,
// OK, Cancel. Chinese in GBK.
struct Captions {
  const char* texts[7];
};
const Captions kChinese = {{
    "\xD1\xA1\xD4\xF1\xB0\xB2\xD7\xB0\xC4\xBF\xC2\xBC",  // 选择安装目录
    "\xD7\xD4\xB6\xAF\xB0\xB2\xD7\xB0",                  // 自动安装
    "CorelDraw\xB0\xE6\xB1\xBE:",                        // CorelDraw版本:
    "\xB0\xB2\xD7\xB0\xC4\xBF\xC2\xBC:",                  // 安装目录:
    "\xE4\xAF\xC0\xC0",                                  // 浏览
    "\xC8\xB7\xB6\xA8",                                  // 确定
    "\xC8\xA1\xCF\xFB",                                  // 取消
}};
const Captions kEnglish = {{"Select install path", "Auto to Install", "CorelDraw Version:",
                            "Install Path:", "Browse", "OK", "Cancel"}};
const int kCaptionTargets[] = {IDC_AUTO_INSTALL, IDC_COREL_VERSION_LABEL, IDC_INSTALL_PATH_LABEL,
                               IDC_BROWSE, ui::kIdOk, ui::kIdCancel};

constexpr unsigned kBrowseFlags = 0x0005;  // BIF_RETURNONLYFSDIRS | BIF_STATUSTEXT

}  // namespace

CorelPathDialog::CorelPathDialog(ui::WindowHandle parent)
    : ui::ModalDialog(IDD_CORELPATH, parent) {}

bool CorelPathDialog::OnInitDialog() {
  SetItemPath(IDC_INSTALL_PATH, "C:\\");
  const Captions& captions = install::LanguageIndex(m_nLanguageIndex).Choose(kChinese, kEnglish);
  SetTitle(captions.texts[0]);
  for (int i = 0; i < 6; ++i) SetItemText(kCaptionTargets[i], captions.texts[i + 1]);

  for (const install::CorelVersion& row : install::CorelVersionTable)
    ComboAppend(IDC_COREL_VERSION, row.combo_text);
  ComboSelect(IDC_COREL_VERSION, 1);  // "CorelDraw 12"

  if (m_nInstallType == 0 || m_nInstallType == 3 || m_nInstallType == 4) {
    EnableItem(IDC_AUTO_INSTALL, false);
    SetChecked(IDC_AUTO_INSTALL, false);
  } else {
    SetChecked(IDC_AUTO_INSTALL, true);
    EnableItem(IDC_INSTALL_PATH, false);
    EnableItem(IDC_BROWSE, false);
  }
  if (m_nInstallType != 1) EnableItem(IDC_COREL_VERSION, false);
  return true;
}

void CorelPathDialog::OnCommand(int id, int code) {
  if (code != ui::kClicked) return;
  if (id == IDC_BROWSE) OnBrowse();
  else if (id == IDC_AUTO_INSTALL) OnAutoInstall();
}

void CorelPathDialog::OnAutoInstall() {
  const bool automatic = IsChecked(IDC_AUTO_INSTALL);
  EnableItem(IDC_INSTALL_PATH, !automatic);
  EnableItem(IDC_BROWSE, !automatic);
  if (m_nInstallType != 1) EnableItem(IDC_COREL_VERSION, false);
}

void CorelPathDialog::OnBrowse() {
  FolderBrowser browser(window(), IDS_SELECT_INSTALL_PATH);
  browser.SetFlags(kBrowseFlags);
  browser.SetInitialFolder("");
  if (browser.Browse()) SetItemPath(IDC_INSTALL_PATH, browser.GetPath());
}

// Disabled controls are read too: the job decides what it uses.
void CorelPathDialog::OnOK() {
  m_strPath = GetItemPath(IDC_INSTALL_PATH);
  m_nCorelVersion = ComboSelection(IDC_COREL_VERSION);
  m_bAuto = IsChecked(IDC_AUTO_INSTALL) ? 1 : 0;
  ui::ModalDialog::OnOK();
}

}  // namespace ovsetup::app
