#include "app/folder_browser.h"

namespace ovsetup::app {

FolderBrowser::FolderBrowser(ui::WindowHandle owner, int title_id)
    : ui::FolderBrowserBase(owner, nullptr, title_id) {}

FolderBrowser::~FolderBrowser() = default;

void FolderBrowser::OnInitialized() {
  SetSelection(m_strInitialFolder);
  SetStatusText(m_strInitialFolder);
}

// Items without a file-system path (the desktop's virtual folders) empty
// the status line.
void FolderBrowser::OnSelChanged(ui::ItemList item) { SetStatusText(PathOfItem(item)); }

}  // namespace ovsetup::app
