// A thin dialog layer over Win32 for the setup's windows: dialogs from
// resource templates, with virtual handlers and helpers named in the setup's
// terms, run either modally (ModalDialog) or modelessly (ModelessDialog).
// Texts the user reads are GBK bytes shown through UTF-16, so Chinese reads
// right on any system code page; paths stay bytes of the ANSI code page. This
// header keeps <windows.h> out of its users.
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

// What both kinds of dialog share: the template, the owner, the window
// procedure that routes messages to the virtual handlers, and the helpers.
// The object must outlive its window.
class Dialog : platform::NonCopyable {
 public:
  virtual ~Dialog() = default;

  // The window while it exists, else null.
  WindowHandle window() const { return window_; }

  // Marks the dialog busy while it lives (a job runs in one of its
  // handlers): commands, system-menu commands and closing are ignored, and
  // the cursor over it is the wait cursor. At its end it drops the input
  // that came meanwhile (HandleBusyMessages), so none fires afterwards.
  class BusyScope : platform::NonCopyable {
   public:
    explicit BusyScope(Dialog& dialog);
    ~BusyScope();

   private:
    Dialog& dialog_;
  };

 protected:
  Dialog(int template_id, WindowHandle owner) : template_id_(template_id), owner_(owner) {}

  // Called once the controls exist; true lets the system set the focus.
  virtual bool OnInitDialog() { return true; }
  // The OK and Cancel buttons (and Enter, Esc): each kind ends its own way.
  virtual void OnOK() = 0;
  virtual void OnCancel() = 0;
  // A notification `code` (kClicked, kSelChange, ...) from control `id`.
  virtual void OnCommand(int /*id*/, int /*code*/) {}
  // A system-menu command; false passes it on to the default processing.
  virtual bool OnSysCommand(unsigned /*command*/) { return false; }
  // WM_PAINT; false leaves the painting to the default processing.
  virtual bool OnPaint() { return false; }
  // The icon shown while the minimised window is dragged; null: default.
  virtual IconHandle OnQueryDragIcon() { return nullptr; }

  int template_id() const { return template_id_; }
  WindowHandle owner() const { return owner_; }
  // The window procedure: hand it, and `this` as its parameter, to the call
  // that makes the window from the template.
  static std::intptr_t __stdcall Procedure(WindowHandle window, unsigned message,
                                           std::uintptr_t wparam, std::intptr_t lparam);

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
  std::intptr_t Handle(unsigned message, std::uintptr_t wparam, std::intptr_t lparam, bool* done);

  int template_id_;
  WindowHandle owner_;
  WindowHandle window_ = nullptr;
  bool busy_ = false;
};

// A dialog with a message loop of its own that disables its owner until it
// ends: the welcome window, the path dialog, the About box.
class ModalDialog : public Dialog {
 public:
  ModalDialog(int template_id, WindowHandle owner) : Dialog(template_id, owner) {}

  // Runs the dialog to its end; returns what EndDialog was given, -1 when the
  // window could not be created.
  int DoModal();

 protected:
  void OnOK() override { EndDialog(kIdOk); }
  void OnCancel() override { EndDialog(kIdCancel); }
  // Ends the loop of DoModal, which then returns `result`.
  void EndDialog(int result);
};

// A dialog that is shown while its caller goes on working, and lives until
// the caller destroys it (or this object ends): the busy windows. It is busy
// (BusyScope) for its whole life: neither Enter, Esc, Alt+F4 nor its close
// box ends it.
class ModelessDialog : public Dialog {
 public:
  ModelessDialog(int template_id, WindowHandle owner)
      : Dialog(template_id, owner), busy_scope_(*this) {}
  ~ModelessDialog() override { DestroyWindow(); }

  // Creates the window, owned by the owner; false on failure.
  bool Create();
  // Destroys the window (nothing when there is none).
  void DestroyWindow();

 protected:
  void OnOK() override {}
  void OnCancel() override {}

 private:
  BusyScope busy_scope_;
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

// Loads comctl32 (version 6, as the manifest asks) and registers the common
// controls the templates use (the progress bar). Call it after the DLL
// search order is set; nothing is reported.
void InitCommonControlClasses();

}  // namespace ovsetup::ui
