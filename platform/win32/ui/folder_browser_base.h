// The shell's folder picker (SHBrowseForFolderA) in a small object: owner,
// title, flags and two hooks that a subclass fills. Keeps <windows.h> out of
// its users.
#pragma once

#include <memory>
#include <string>

#include "platform/non_copyable.h"
#include "platform/win32/ui/dialog.h"

namespace ovsetup::ui {

using ItemList = const void*;  // PCIDLIST_ABSOLUTE

class FolderBrowserBase : platform::NonCopyable {
 public:
  // `root` null: the desktop. `title_id`: a string resource for the title.
  FolderBrowserBase(WindowHandle owner, ItemList root, int title_id);
  virtual ~FolderBrowserBase() = 0;

  // The setters do nothing while the picker is open.
  void SetOwner(WindowHandle owner);
  void SetRoot(ItemList root);
  void SetFlags(unsigned flags);
  // False when `id` is not positive or the string cannot be loaded; the
  // title then stays as it was.
  bool SetTitle(int id);
  // Stores its own copy of `text` (ANSI code page).
  void SetTitle(const char* text);

  // Runs the picker modally. True when a folder was chosen and its
  // file-system path obtained (then GetPath returns it).
  bool Browse();
  std::string GetPath() const;

  // Only while the picker is open: select the folder `path` / show `text`
  // in the status line.
  void SetSelection(const std::string& path);
  void SetStatusText(const std::string& text);

  // The file-system path of `item`, or "" when it has none.
  static std::string PathOfItem(ItemList item);

 protected:
  virtual void OnInitialized() {}
  virtual void OnSelChanged(ItemList /*item*/) {}

 private:
  static int __stdcall BrowseCallbackProc(WindowHandle window, unsigned message,
                                          std::intptr_t parameter, std::intptr_t data);
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace ovsetup::ui
