#include "platform/win32/ui/folder_browser_base.h"

#include <windows.h>
#include <shlobj.h>

#include <cstring>

namespace ovsetup::ui {

struct FolderBrowserBase::State {
  std::unique_ptr<char[]> title;  // owned copy, or null
  BROWSEINFOA info = {};
  char display[MAX_PATH] = {};
  HWND browse_window = nullptr;  // the open picker; null when closed
};

FolderBrowserBase::FolderBrowserBase(WindowHandle owner, ItemList root, int title_id)
    : state_(new State) {
  state_->info.pszDisplayName = state_->display;
  state_->info.lpfn = reinterpret_cast<BFFCALLBACK>(&BrowseCallbackProc);
  state_->info.lParam = reinterpret_cast<LPARAM>(this);
  SetOwner(owner);
  SetRoot(root);
  SetTitle(title_id);
}

FolderBrowserBase::~FolderBrowserBase() = default;

void FolderBrowserBase::SetOwner(WindowHandle owner) {
  if (state_->browse_window == nullptr) state_->info.hwndOwner = static_cast<HWND>(owner);
}

void FolderBrowserBase::SetRoot(ItemList root) {
  if (state_->browse_window == nullptr)
    state_->info.pidlRoot = static_cast<PCIDLIST_ABSOLUTE>(const_cast<void*>(root));
}

void FolderBrowserBase::SetFlags(unsigned flags) {
  if (state_->browse_window == nullptr) state_->info.ulFlags = flags;
}

bool FolderBrowserBase::SetTitle(int id) {
  if (state_->browse_window != nullptr || id <= 0) return false;
  char text[512] = {};
  if (LoadStringA(GetModuleHandleA(nullptr), static_cast<UINT>(id), text, sizeof text) <= 0)
    return false;
  SetTitle(text);
  return true;
}

void FolderBrowserBase::SetTitle(const char* text) {
  if (state_->browse_window != nullptr) return;
  const std::size_t length = std::strlen(text);
  std::unique_ptr<char[]> copy(new char[length + 1]);
  std::memcpy(copy.get(), text, length + 1);
  state_->title = std::move(copy);
  state_->info.lpszTitle = state_->title.get();
}

bool FolderBrowserBase::Browse() {
  PIDLIST_ABSOLUTE item = SHBrowseForFolderA(&state_->info);
  bool chosen = false;
  if (item != nullptr) {
    chosen = SHGetPathFromIDListA(item, state_->display) != FALSE;
    IMalloc* allocator = nullptr;
    if (SUCCEEDED(SHGetMalloc(&allocator)) && allocator != nullptr) {
      allocator->Free(item);
      allocator->Release();
    }
  }
  state_->browse_window = nullptr;
  return chosen;
}

std::string FolderBrowserBase::GetPath() const { return state_->display; }

void FolderBrowserBase::SetSelection(const std::string& path) {
  if (state_->browse_window != nullptr)
    SendMessageA(state_->browse_window, BFFM_SETSELECTIONA, TRUE,
                 reinterpret_cast<LPARAM>(path.c_str()));
}

void FolderBrowserBase::SetStatusText(const std::string& text) {
  if (state_->browse_window != nullptr)
    SendMessageA(state_->browse_window, BFFM_SETSTATUSTEXTA, 0,
                 reinterpret_cast<LPARAM>(text.c_str()));
}

std::string FolderBrowserBase::PathOfItem(ItemList item) {
  char path[MAX_PATH] = {};
  if (item == nullptr ||
      !SHGetPathFromIDListA(static_cast<PCIDLIST_ABSOLUTE>(const_cast<void*>(item)), path))
    return std::string();
  return path;
}

int __stdcall FolderBrowserBase::BrowseCallbackProc(WindowHandle window, unsigned message,
                                                    std::intptr_t parameter, std::intptr_t data) {
  auto* self = reinterpret_cast<FolderBrowserBase*>(data);
  self->state_->browse_window = static_cast<HWND>(window);
  if (message == BFFM_INITIALIZED) self->OnInitialized();
  else if (message == BFFM_SELCHANGED) self->OnSelChanged(reinterpret_cast<ItemList>(parameter));
  return 0;
}

}  // namespace ovsetup::ui
