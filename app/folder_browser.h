// The folder picker of the path dialog: preselects its initial folder and
// keeps the status line on the selected folder's path.
#pragma once

#include <string>

#include "platform/win32/ui/folder_browser_base.h"

namespace ovsetup::app {

class FolderBrowser : public ui::FolderBrowserBase {
 public:
  // No root (the desktop); `title_id` names the title string.
  FolderBrowser(ui::WindowHandle owner, int title_id);
  ~FolderBrowser() override;

  void SetInitialFolder(const std::string& folder) { m_strInitialFolder = folder; }

 protected:
  void OnInitialized() override;
  void OnSelChanged(ui::ItemList item) override;

 private:
  std::string m_strInitialFolder;
};

}  // namespace ovsetup::app
