#include "platform/win32/ui/dialog.h"

#include <windows.h>
#include <commctrl.h>

#include "platform/win32/ui/busy_messages.h"

namespace ovsetup::ui {
namespace {

HWND Hwnd(WindowHandle window) { return static_cast<HWND>(window); }

// GBK bytes -> UTF-16, whatever the system code page.
std::wstring Wide(const char* gbk) {
  const int size = MultiByteToWideChar(936, 0, gbk, -1, nullptr, 0);
  if (size <= 0) return std::wstring();
  std::wstring wide(static_cast<std::size_t>(size), L'\0');
  MultiByteToWideChar(936, 0, gbk, -1, &wide[0], size);
  wide.resize(static_cast<std::size_t>(size - 1));
  return wide;
}

// The application title: the executable's name without its extension.
std::wstring AppTitle() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring name = path;
  const std::size_t slash = name.find_last_of(L"\\/");
  if (slash != std::wstring::npos) name.erase(0, slash + 1);
  const std::size_t dot = name.rfind(L'.');
  if (dot != std::wstring::npos) name.erase(dot);
  return name;
}

}  // namespace

int ModalDialog::DoModal() {
  return static_cast<int>(DialogBoxParamW(
      GetModuleHandleW(nullptr), MAKEINTRESOURCEW(template_id()), Hwnd(owner()),
      reinterpret_cast<DLGPROC>(&Procedure), reinterpret_cast<LPARAM>(this)));
}

void ModalDialog::EndDialog(int result) { ::EndDialog(Hwnd(window()), result); }

bool ModelessDialog::Create() {
  return CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(template_id()),
                            Hwnd(owner()), reinterpret_cast<DLGPROC>(&Procedure),
                            reinterpret_cast<LPARAM>(this)) != nullptr;
}

// The window procedure forgets the window at WM_NCDESTROY.
void ModelessDialog::DestroyWindow() {
  if (window() != nullptr) ::DestroyWindow(Hwnd(window()));
}

std::intptr_t __stdcall Dialog::Procedure(WindowHandle window, unsigned message,
                                          std::uintptr_t wparam, std::intptr_t lparam) {
  HWND hwnd = Hwnd(window);
  if (message == WM_INITDIALOG) {
    auto* self = reinterpret_cast<Dialog*>(lparam);
    SetWindowLongPtrW(hwnd, DWLP_USER, lparam);
    self->window_ = window;
    return self->OnInitDialog() ? TRUE : FALSE;
  }
  auto* self = reinterpret_cast<Dialog*>(GetWindowLongPtrW(hwnd, DWLP_USER));
  if (self == nullptr) return FALSE;
  bool done = false;
  const std::intptr_t result = self->Handle(message, wparam, lparam, &done);
  if (message == WM_NCDESTROY) self->window_ = nullptr;
  return done ? result : FALSE;
}

Dialog::BusyScope::BusyScope(Dialog& dialog) : dialog_(dialog) { dialog_.busy_ = true; }

Dialog::BusyScope::~BusyScope() {
  HandleBusyMessages();
  dialog_.busy_ = false;
}

std::intptr_t Dialog::Handle(unsigned message, std::uintptr_t wparam, std::intptr_t, bool* done) {
  if (busy_ && (message == WM_COMMAND || message == WM_SYSCOMMAND)) {
    *done = true;  // WM_CLOSE, Esc and Alt+F4 come as one of these
    return TRUE;
  }
  if (busy_ && message == WM_SETCURSOR) {
    SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    SetWindowLongPtrW(Hwnd(window_), DWLP_MSGRESULT, TRUE);
    *done = true;
    return TRUE;
  }
  switch (message) {
    case WM_COMMAND: {
      const int id = LOWORD(wparam), code = HIWORD(wparam);
      if (id == IDOK) OnOK();
      else if (id == IDCANCEL) OnCancel();
      else OnCommand(id, code);
      *done = true;
      return TRUE;
    }
    case WM_SYSCOMMAND:
      *done = OnSysCommand(static_cast<unsigned>(wparam));
      return TRUE;
    case WM_PAINT:
      *done = OnPaint();
      return TRUE;
    case WM_QUERYDRAGICON: {
      IconHandle icon = OnQueryDragIcon();
      *done = icon != nullptr;
      // A dialog procedure hands message results back through DWLP_MSGRESULT.
      SetWindowLongPtrW(Hwnd(window_), DWLP_MSGRESULT, reinterpret_cast<LONG_PTR>(icon));
      return TRUE;
    }
    default:
      return FALSE;
  }
}

void Dialog::SetTitle(const char* gbk) { SetWindowTextW(Hwnd(window_), Wide(gbk).c_str()); }

void Dialog::SetItemText(int id, const char* gbk) {
  SetDlgItemTextW(Hwnd(window_), id, Wide(gbk).c_str());
}

void Dialog::ComboAppend(int id, const char* gbk) {
  const std::wstring text = Wide(gbk);
  SendDlgItemMessageW(Hwnd(window_), id, CB_INSERTSTRING, static_cast<WPARAM>(-1),
                      reinterpret_cast<LPARAM>(text.c_str()));
}

void Dialog::SetItemPath(int id, const std::string& path) {
  SetDlgItemTextA(Hwnd(window_), id, path.c_str());
}

std::string Dialog::GetItemPath(int id) const {
  HWND item = GetDlgItem(Hwnd(window_), id);
  const int length = GetWindowTextLengthA(item);
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  const int got = GetDlgItemTextA(Hwnd(window_), id, &text[0], length + 1);
  text.resize(static_cast<std::size_t>(got > 0 ? got : 0));
  return text;
}

void Dialog::EnableItem(int id, bool enable) {
  EnableWindow(GetDlgItem(Hwnd(window_), id), enable ? TRUE : FALSE);
}

bool Dialog::IsChecked(int id) const {
  return SendDlgItemMessageW(Hwnd(window_), id, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Dialog::SetChecked(int id, bool checked) {
  SendDlgItemMessageW(Hwnd(window_), id, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void Dialog::ComboSelect(int id, int index) {
  SendDlgItemMessageW(Hwnd(window_), id, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

int Dialog::ComboSelection(int id) const {
  const LRESULT selection = SendDlgItemMessageW(Hwnd(window_), id, CB_GETCURSEL, 0, 0);
  return selection == CB_ERR ? kNoSelection : static_cast<int>(selection);
}

void Dialog::SetProgressRange(int id, int low, int high) {
  SendDlgItemMessageW(Hwnd(window_), id, PBM_SETRANGE, 0, MAKELPARAM(low, high));
}

void Dialog::SetProgressPosition(int id, int position) {
  SendDlgItemMessageW(Hwnd(window_), id, PBM_SETPOS, static_cast<WPARAM>(position), 0);
}

ScreenPoint Dialog::WindowCenter() const {
  RECT rect = {};
  GetWindowRect(Hwnd(window_), &rect);
  return ScreenPoint{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

void Dialog::CenterOn(int x, int y) {
  RECT rect = {};
  GetWindowRect(Hwnd(window_), &rect);
  const int width = rect.right - rect.left, height = rect.bottom - rect.top;
  MoveWindow(Hwnd(window_), x - width / 2, y - height / 2, width, height, TRUE);
}

void Dialog::AppendSystemMenuItem(unsigned command, int string_id) {
  HMENU menu = GetSystemMenu(Hwnd(window_), FALSE);
  if (menu == nullptr) return;
  wchar_t text[256] = {};
  if (LoadStringW(GetModuleHandleW(nullptr), static_cast<UINT>(string_id), text, 256) <= 0 ||
      text[0] == L'\0')
    return;
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(menu, MF_STRING, command, text);
}

void Dialog::SetIcons(IconHandle icon) {
  SendMessageW(Hwnd(window_), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
  SendMessageW(Hwnd(window_), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
}

bool Dialog::IsMinimized() const { return IsIconic(Hwnd(window_)) != FALSE; }

void Dialog::PaintIconCentered(IconHandle icon) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(Hwnd(window_), &paint);
  SendMessageW(Hwnd(window_), WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  const int icon_width = GetSystemMetrics(SM_CXICON), icon_height = GetSystemMetrics(SM_CYICON);
  RECT client = {};
  GetClientRect(Hwnd(window_), &client);
  const int x = (client.right - client.left - icon_width + 1) / 2;
  const int y = (client.bottom - client.top - icon_height + 1) / 2;
  DrawIcon(dc, x, y, static_cast<HICON>(icon));
  EndPaint(Hwnd(window_), &paint);
}

IconHandle LoadAppIcon(int id) { return LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id)); }

void ShowMessage(WindowHandle main_window, const char* gbk_text) {
  HWND main = Hwnd(main_window);
  HWND owner = main != nullptr ? GetLastActivePopup(main) : nullptr;
  // The box disables its owner; the main window goes with it.
  const bool disable_main = main != nullptr && owner != main && IsWindowEnabled(main);
  if (disable_main) EnableWindow(main, FALSE);
  MessageBoxW(owner, Wide(gbk_text).c_str(), AppTitle().c_str(), MB_OK | MB_ICONEXCLAMATION);
  if (disable_main) EnableWindow(main, TRUE);
}

std::string ModuleFileName() {
  char path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  return length == 0 || length >= MAX_PATH ? std::string() : std::string(path, length);
}

WaitCursor::WaitCursor() : previous_(SetCursor(LoadCursorA(nullptr, IDC_WAIT))) {}

WaitCursor::~WaitCursor() { SetCursor(static_cast<HCURSOR>(previous_)); }

void InitCommonControlClasses() {
  // comctl32 is loaded here, once start-up has set the DLL search order, and
  // is no import: an import's initialisation runs before main, and comctl32's
  // loads uxtheme.dll by name. The manifest's Common Controls 6 dependency
  // picks the copy from the system's side-by-side store all the same. It
  // stays loaded for the life of the process.
  typedef BOOL(WINAPI * InitCommonControlsExFn)(const INITCOMMONCONTROLSEX*);
  const HMODULE comctl32 = LoadLibraryW(L"comctl32.dll");
  const auto init_common_controls_ex =
      comctl32 ? reinterpret_cast<InitCommonControlsExFn>(
                     reinterpret_cast<void*>(GetProcAddress(comctl32, "InitCommonControlsEx")))
               : nullptr;
  INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_PROGRESS_CLASS};
  if (init_common_controls_ex != nullptr) init_common_controls_ex(&classes);
}

}  // namespace ovsetup::ui
