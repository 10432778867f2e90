// A thin dialog layer over Win32 for the setup's windows: dialogs from
// resource templates, modal or modeless, with virtual handlers and helpers
// named in the setup's terms. Texts the user reads are GBK bytes shown
// through UTF-16, so Chinese reads right on any system code page; paths stay
// bytes of the ANSI code page. This header keeps <windows.h> out of its users.
#pragma once

#include <cstdint>
#include <string>

#include "platform/non_copyable.h"

namespace ovsetup::ui {

using WindowHandle = void*;  // HWND
using IconHandle = void*;    // HICON

constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;
constexpr int kClicked = 0;     // BN_CLICKED
constexpr int kSelChange = 1;   // CBN_SELCHANGE
constexpr int kNoSelection = -1;

struct ScreenPoint {
  int x = 0;
  int y = 0;
};

// One dialog from a template of this module. The object owns its window while
// it exists; it must outlive the window.
class Dialog : platform::NonCopyable {
 public:
  Dialog(int template_id, WindowHandle owner);
  virtual ~Dialog();

  // Runs the dialog modally; returns what EndDialog was given, -1 when the
  // window could not be created.
  int DoModal();
  // Creates the window modeless, owned by the owner; false on failure.
  bool CreateModeless();
  // Destroys a modeless window (nothing when there is none).
  void DestroyWindow();

  WindowHandle window() const { return window_; }

 protected:
  // Called once the controls exist; true lets the system set the focus.
  virtual bool OnInitDialog() { return true; }
  virtual void OnOK() { EndDialog(kIdOk); }
  virtual void OnCancel() { EndDialog(kIdCancel); }
  // A notification `code` (kClicked, kSelChange, ...) from control `id`.
  virtual void OnCommand(int /*id*/, int /*code*/) {}
  // A system-menu command; false passes it on to the default processing.
  virtual bool OnSysCommand(unsigned /*command*/) { return false; }
  // WM_PAINT; false leaves the painting to the default processing.
  virtual bool OnPaint() { return false; }
  // The icon shown while the minimised window is dragged; null: default.
  virtual IconHandle OnQueryDragIcon() { return nullptr; }

  void EndDialog(int result);

  // Texts the user reads (GBK bytes).
  void SetTitle(const char* gbk);
  void SetItemText(int id, const char* gbk);
  void ComboAppend(int id, const char* gbk);
  // Paths (ANSI code page bytes).
  void SetItemPath(int id, const std::string& path);
  std::string GetItemPath(int id) const;

  void EnableItem(int id, bool enable);
  bool IsChecked(int id) const;
  void SetChecked(int id, bool checked);
  void ComboSelect(int id, int index);
  int ComboSelection(int id) const;  // kNoSelection when none
  void SetProgressRange(int id, int low, int high);
  void SetProgressPosition(int id, int position);

  // Centre of the window rectangle in screen coordinates, divided with
  // truncation toward zero.
  ScreenPoint WindowCenter() const;
  // Moves the window, keeping its size, so that its centre is (x, y):
  // left = x - w / 2, top = y - h / 2 (signed, truncating), and repaints.
  void CenterOn(int x, int y);
  // Appends a separator and item `command` with string `string_id` to the
  // system menu, when there is one and the string is not empty.
  void AppendSystemMenuItem(unsigned command, int string_id);
  // Sets `icon` as the big, then the small window icon.
  void SetIcons(IconHandle icon);
  bool IsMinimized() const;
  // Paints `icon` centred in the client area of the minimised window.
  void PaintIconCentered(IconHandle icon);

 private:
  static std::intptr_t __stdcall Procedure(WindowHandle window, unsigned message,
                                           std::uintptr_t wparam, std::intptr_t lparam);
  std::intptr_t Handle(unsigned message, std::uintptr_t wparam, std::intptr_t lparam, bool* done);

  int template_id_;
  WindowHandle owner_;
  WindowHandle window_ = nullptr;
};

// The module's icon resource `id` (shared; never destroyed).
IconHandle LoadAppIcon(int id);

// The application message box: `gbk_text`, OK only, the warning icon, the
// application title as caption. Like the framework's, it is owned by the
// last active popup of `main_window` (the busy window while a job runs) and
// keeps `main_window` disabled too while it is open. Returns when closed.
void ShowMessage(WindowHandle main_window, const char* gbk_text);

// The path of the running executable (260-byte buffer); empty on failure.
std::string ModuleFileName();

// Shows the wait cursor while it lives.
class WaitCursor : platform::NonCopyable {
 public:
  WaitCursor();
  ~WaitCursor();

 private:
  void* previous_;
};

// Registers the common controls the templates use (the progress bar).
void InitCommonControlClasses();

}  // namespace ovsetup::ui
