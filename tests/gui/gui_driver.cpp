// Drives setup.exe through its windows, as a user would, and checks what they
// show: started with a test payload, found by class, caption and process,
// worked by control ID, closed at the end.
//   gui_driver SCENARIO SETUP.EXE [ARGS...]
// Prints one PASS or FAIL line per check; exits 0 when every check passed,
// 1 when one failed, 2 on a usage error. A setup still running on any
// failure is terminated.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shlwapi.h>
#include <shobjidl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using std::wstring;

// Waits are sized for native speed; OVSETUP_WAIT_FACTOR (set by gui_test.sh,
// 4 where the setup runs under an emulator) says how many times longer
// they may take here. 1 when unset or not a positive number.
DWORD WaitFactor() {
  wchar_t value[8] = {};
  DWORD n = GetEnvironmentVariableW(L"OVSETUP_WAIT_FACTOR", value, 8);
  int factor = n > 0 && n < 8 ? _wtoi(value) : 1;
  return factor > 0 ? DWORD(factor) : 1;
}

constexpr DWORD kPollMs = 20;
const DWORD kTimeoutMs = 30000 * WaitFactor();   // a window to appear or go
const DWORD kQuietMs = 1500 * WaitFactor();      // a window that must not appear
const UINT kSendTimeoutMs = 10000 * WaitFactor();
constexpr int kPickerTree = 0x3741;   // the folder picker's tree and status line
constexpr int kPickerStatus = 0x3743;
constexpr int kStaticId = 0xFFFF;     // text of a message box, labels without ID
constexpr WPARAM kAboutCommand = 0x0010;

// ---------------------------------------------------------------- texts

wstring FromUtf8(const std::string& text) {
  if (text.empty()) return wstring();
  int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0);
  wstring out(n, L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), &out[0], n);
  return out;
}

std::string ToUtf8(const wstring& text) {
  if (text.empty()) return std::string();
  int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0, nullptr, nullptr);
  std::string out(n, '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), &out[0], n, nullptr, nullptr);
  return out;
}

// The setup's texts in both caption languages (source is UTF-8).
struct Captions {
  wstring welcome, type, language, install, usb;          // welcome dialog
  wstring path, autoInstall, version, installPath, browse, ok, cancel;  // path dialog
  wstring driverProgress, installOk;
};

const Captions& CaptionsFor(int languageIndex) {
  static const Captions chinese{
      FromUtf8("欢迎使用"), FromUtf8("类型:"), FromUtf8("语言:"), FromUtf8("安装"),
      FromUtf8("USB驱动安装"), FromUtf8("选择安装目录"), FromUtf8("自动安装"),
      FromUtf8("CorelDraw版本:"), FromUtf8("安装目录:"), FromUtf8("浏览"), FromUtf8("确定"),
      FromUtf8("取消"), FromUtf8("安装驱动..."), FromUtf8("安装成功!")};
  static const Captions english{
      L"Welcome to use", L"Type:", L"Lanuage:", L"Install", L"Install USB Driver",
      L"Select install path", L"Auto to Install", L"CorelDraw Version:", L"Install Path:",
      L"Browse", L"OK", L"Cancel", L"Installing the driver...", L"Install OK!"};
  return languageIndex == 0 ? chinese : english;
}

const wstring kAboutCaption = FromUtf8("关于 OvSetup");
const wstring kDialogFace = FromUtf8("宋体");  // the font of templates 100, 102 and 129
const wstring kAboutText = FromUtf8("OvSetup 1.0 版");
const wstring kAboutOk = FromUtf8("确定");

const std::vector<wstring> kLanguages = {FromUtf8("简体中文"), L"Traditional Chinese", L"English",
                                         L"Other"};
const std::vector<wstring> kPlugins = {L"Plugin For CorelDraw", L"Plugin For AutoCAD",
                                       L"Plugin For Illustrator CS(32bit)",
                                       L"Plugin For Illustrator CS(64bit)"};
// The first registry key of each CorelDRAW version row, below HKLM.
const wchar_t* const kCorelKeys[] = {
    L"Corel Graphics Suite 11",      L"CorelDRAW Graphics Suite 12", L"CorelDRAW Graphics Suite 13",
    L"CorelDRAW Graphics Suite 14", L"CorelDRAW Graphics Suite 15", L"CorelDRAW Graphics Suite 16",
    L"CorelDRAW Graphics Suite 16", L"CorelDRAW Graphics Suite 17", L"CorelDRAW Graphics Suite 17"};
const std::vector<wstring> kCorelVersions = {
    L"CorelDraw 11", L"CorelDraw 12", L"CorelDraw X3", L"CorelDraw X4", L"CorelDraw X5",
    L"CorelDraw X6(32bit)", L"CorelDraw X6(64bit)", L"CorelDraw X7/X8(32bit)",
    L"CorelDraw X7/X8(64bit)"};

// ---------------------------------------------------------------- checks

// Ends the scenario at once: a window it needs is missing.
struct Abort {};

struct Report {
  const char* scenario = "";
  int failed = 0;

  void Check(bool ok, const std::string& what) {
    std::printf("%s %s: %s\n", ok ? "PASS" : "FAIL", scenario, what.c_str());
    std::fflush(stdout);
    if (!ok) ++failed;
  }
  void Equal(const wstring& got, const wstring& want, const std::string& what) {
    Compare(got == want, "'" + ToUtf8(got) + "'", "'" + ToUtf8(want) + "'", what);
  }
  void Equal(long long got, long long want, const std::string& what) {
    Compare(got == want, std::to_string(got), std::to_string(want), what);
  }
  [[noreturn]] void Fatal(const std::string& what) {
    Check(false, what);
    throw Abort{};
  }

 private:
  void Compare(bool ok, const std::string& got, const std::string& want, const std::string& what) {
    Check(ok, ok ? what + ": " + want : what + ": " + got + ", expected " + want);
  }
};

Report report;

// ---------------------------------------------------------------- handles

// Owns a kernel handle.
class Handle {
 public:
  explicit Handle(HANDLE h = nullptr) : h_(h) {}
  ~Handle() { reset(nullptr); }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  HANDLE get() const { return h_; }
  bool valid() const { return h_ && h_ != INVALID_HANDLE_VALUE; }
  void reset(HANDLE h) {
    if (valid()) CloseHandle(h_);
    h_ = h;
  }

 private:
  HANDLE h_;
};

// The setup under test. Terminated on destruction unless it has ended.
class SetupProcess {
 public:
  // Starts SETUP from another current folder than its own (its
  // configuration must still be found beside it).
  explicit SetupProcess(const wstring& setup) {
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    wstring commandLine = L"\"" + setup + L"\"";
    if (!CreateProcessW(setup.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                        L"C:\\", &si, &pi))
      report.Fatal("start " + ToUtf8(setup) + " (error " + std::to_string(GetLastError()) + ")");
    process_.reset(pi.hProcess);
    CloseHandle(pi.hThread);
    pid_ = pi.dwProcessId;
  }
  ~SetupProcess() {
    if (!HasEnded(0)) {
      TerminateProcess(process_.get(), 99);
      WaitForSingleObject(process_.get(), kTimeoutMs);
    }
  }
  SetupProcess(const SetupProcess&) = delete;
  SetupProcess& operator=(const SetupProcess&) = delete;

  DWORD pid() const { return pid_; }
  bool HasEnded(DWORD waitMs) const { return WaitForSingleObject(process_.get(), waitMs) == WAIT_OBJECT_0; }

 private:
  Handle process_;
  DWORD pid_ = 0;
};

// ---------------------------------------------------------------- windows

wstring ClassOf(HWND w) {
  wchar_t name[64] = {};
  GetClassNameW(w, name, 64);
  return name;
}

// The caption of a top-level window: read without a message, so a busy
// setup does not stall the search.
wstring CaptionOf(HWND w) {
  wchar_t text[512] = {};
  GetWindowTextW(w, text, 512);
  return text;
}

// The text of a control, read through its window procedure.
wstring TextOf(HWND control) {
  DWORD_PTR length = 0;
  if (!control || !SendMessageTimeoutW(control, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG,
                                       kSendTimeoutMs, &length))
    return L"<unreadable>";
  wstring text(length + 1, L'\0');
  DWORD_PTR copied = 0;
  SendMessageTimeoutW(control, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(&text[0]),
                      SMTO_ABORTIFHUNG, kSendTimeoutMs, &copied);
  text.resize(copied);
  return text;
}

LRESULT Send(HWND w, UINT message, WPARAM wp = 0, LPARAM lp = 0) {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutW(w, message, wp, lp, SMTO_ABORTIFHUNG, kSendTimeoutMs, &result))
    report.Fatal("window does not answer message " + std::to_string(message));
  return LRESULT(result);
}

HWND Item(HWND dialog, int id) {
  HWND control = GetDlgItem(dialog, id);
  if (!control) report.Fatal("control " + std::to_string(id) + " missing");
  return control;
}

bool IsEnabled(HWND dialog, int id) { return IsWindowEnabled(Item(dialog, id)) != FALSE; }
bool IsChecked(HWND dialog, int id) { return Send(Item(dialog, id), BM_GETCHECK) == BST_CHECKED; }
bool HasStyle(HWND w, LONG style) { return (GetWindowLongW(w, GWL_STYLE) & style) == style; }

struct ComboState {
  std::vector<wstring> entries;
  int selected;
};

ComboState ReadCombo(HWND dialog, int id) {
  HWND combo = Item(dialog, id);
  ComboState state{{}, int(Send(combo, CB_GETCURSEL))};
  int count = int(Send(combo, CB_GETCOUNT));
  for (int i = 0; i < count; ++i) {
    wstring text(Send(combo, CB_GETLBTEXTLEN, i) + 1, L'\0');
    LRESULT n = Send(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(&text[0]));
    text.resize(n < 0 ? 0 : size_t(n));
    state.entries.push_back(text);
  }
  return state;
}

wstring Join(const std::vector<wstring>& items) {
  wstring out;
  for (const wstring& item : items) out += (out.empty() ? L"" : L" | ") + item;
  return out;
}

struct DialogSearch {
  DWORD pid;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectDialog(HWND w, LPARAM lp) {
  auto* search = reinterpret_cast<DialogSearch*>(lp);
  DWORD owner = 0;
  GetWindowThreadProcessId(w, &owner);
  if (owner == search->pid && IsWindowVisible(w) && ClassOf(w) == L"#32770") search->found.push_back(w);
  return TRUE;
}

// Top-level dialog windows (#32770) of the setup that are shown.
std::vector<HWND> DialogsOf(DWORD pid) {
  DialogSearch search{pid, {}};
  EnumWindows(CollectDialog, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::string DescribeDialogs(DWORD pid) {
  std::string out;
  for (HWND w : DialogsOf(pid)) out += (out.empty() ? "'" : ", '") + ToUtf8(CaptionOf(w)) + "'";
  return out.empty() ? "none" : out;
}

// A message box: a dialog with the message text (0xFFFF) and an OK button,
// and none of the setup's own dialogs (whose labels also carry 0xFFFF).
bool IsMessageBox(HWND w) {
  return GetDlgItem(w, kStaticId) && GetDlgItem(w, IDOK) && !GetDlgItem(w, 1000) &&
         !GetDlgItem(w, 1006) && CaptionOf(w) != kAboutCaption;
}

template <typename Match>
HWND FindDialog(DWORD pid, Match match) {
  for (HWND w : DialogsOf(pid))
    if (match(w)) return w;
  return nullptr;
}

// Polls until a dialog of the setup matches; the scenario ends when none
// does within the timeout.
template <typename Match>
HWND WaitFor(DWORD pid, const std::string& what, Match match) {
  for (DWORD start = GetTickCount(); GetTickCount() - start < kTimeoutMs; Sleep(kPollMs))
    if (HWND w = FindDialog(pid, match)) return w;
  report.Fatal(what + " did not appear (shown: " + DescribeDialogs(pid) + ")");
}

// The dialog with exactly CAPTION, owned by OWNER or by no window.
HWND WaitForCaption(DWORD pid, const wstring& caption, HWND owner = nullptr) {
  return WaitFor(pid, "window '" + ToUtf8(caption) + "'", [&](HWND w) {
    HWND o = GetWindow(w, GW_OWNER);
    return CaptionOf(w) == caption && (o == nullptr || o == owner);
  });
}

HWND WaitForMessageBox(DWORD pid) { return WaitFor(pid, "message box", IsMessageBox); }

// Polls until W is destroyed or hidden.
bool Gone(HWND w) {
  for (DWORD start = GetTickCount(); GetTickCount() - start < kTimeoutMs; Sleep(kPollMs))
    if (!IsWindow(w) || !IsWindowVisible(w)) return true;
  return false;
}

void WaitGone(HWND w, const std::string& what) {
  if (!Gone(w)) report.Fatal(what + " did not close");
}

// Checks for a while that no message box shows up.
void ExpectNoMessageBox(DWORD pid, const std::string& when) {
  HWND box = nullptr;
  for (DWORD start = GetTickCount(); !box && GetTickCount() - start < kQuietMs; Sleep(kPollMs))
    box = FindDialog(pid, IsMessageBox);
  report.Check(!box, "no message box " + when +
                         (box ? " (got '" + ToUtf8(TextOf(GetDlgItem(box, kStaticId))) + "')" : ""));
}

// Posted: a click that opens a modal loop must not block the driver.
void Click(HWND dialog, int id) { PostMessageW(Item(dialog, id), BM_CLICK, 0, 0); }

void Select(HWND dialog, int id, int index) {
  HWND combo = Item(dialog, id);
  Send(combo, CB_SETCURSEL, index);
  Send(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
}

// Reads the message box's text, presses OK and waits until it has gone.
wstring DismissMessageBox(HWND box) {
  wstring text = TextOf(Item(box, kStaticId));
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  WaitGone(box, "message box");
  return text;
}

// ---------------------------------------------------------------- files

bool Exists(const wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Creates an empty file; false when it cannot.
bool Touch(const wstring& path) {
  Handle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                          nullptr));
  return file.valid();
}

wstring SpecialFolder(int csidl) {
  wchar_t path[MAX_PATH] = {};
  SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path);
  return path;
}

wstring WithSlash(wstring path) {
  if (path.empty() || path.back() != L'\\') path += L'\\';
  return path;
}

// The target of a shell link, or "" when it cannot be read.
wstring LinkTarget(const wstring& link) {
  wstring target;
  IShellLinkW* shellLink = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                              reinterpret_cast<void**>(&shellLink))))
    return target;
  IPersistFile* file = nullptr;
  if (SUCCEEDED(shellLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
    wchar_t path[MAX_PATH] = {};
    if (SUCCEEDED(file->Load(link.c_str(), STGM_READ)) &&
        SUCCEEDED(shellLink->GetPath(path, MAX_PATH, nullptr, SLGP_RAWPATH)))
      target = path;
    file->Release();
  }
  shellLink->Release();
  return target;
}

// ---------------------------------------------------------------- layout

// The font a dialog template names, made as the dialog manager makes it for
// the screen's DPI.
class TemplateFont {
 public:
  TemplateFont(const wchar_t* face, int points) {
    HDC screen = GetDC(nullptr);
    dpi_ = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    font_ = CreateFontW(-MulDiv(points, dpi_, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                        DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                        DEFAULT_PITCH, face);
  }
  ~TemplateFont() { DeleteObject(font_); }
  TemplateFont(const TemplateFont&) = delete;
  TemplateFont& operator=(const TemplateFont&) = delete;

  int dpi() const { return dpi_; }

  // Width and height of TEXT on one line ("&" marks no character).
  SIZE Extent(wstring text) const {
    text.erase(std::remove(text.begin(), text.end(), L'&'), text.end());
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font_);
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), int(text.size()), &size);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    size.cy = metrics.tmHeight;
    SelectObject(dc, old);
    DeleteDC(dc);
    return size;
  }

 private:
  HFONT font_;
  int dpi_ = 96;
};

struct Control {
  HWND window;
  int id;
  wstring kind;  // "label", "button", "check box", "list", "frame", "other"
  RECT rect;     // in the dialog's client coordinates
};

std::vector<Control> ControlsOf(HWND dialog) {
  std::vector<Control> controls;
  for (HWND w = GetWindow(dialog, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT)) {
    Control c{w, GetDlgCtrlID(w), L"other", {}};
    GetWindowRect(w, &c.rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&c.rect), 2);
    wstring cls = ClassOf(w);
    LONG style = GetWindowLongW(w, GWL_STYLE);
    if (cls == L"Static" && (style & SS_TYPEMASK) <= SS_RIGHT) c.kind = L"label";
    else if (cls == L"ComboBox") c.kind = L"list";
    else if (cls == L"Button") {
      LONG type = style & BS_TYPEMASK;
      c.kind = type == BS_GROUPBOX ? L"frame"
             : type == BS_AUTOCHECKBOX || type == BS_CHECKBOX ? L"check box" : L"button";
    }
    controls.push_back(c);
  }
  return controls;
}

bool Overlap(const RECT& a, const RECT& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

// Checks the layout of DIALOG (template font FACE at POINTS): every control
// lies inside the client area, and every text fits its control and runs
// into no other control. A label's text is drawn from its left edge; a
// button's, check box's or list's needs the room of its frame, check mark
// or drop-down arrow besides.
void CheckLayout(HWND dialog, const wchar_t* face, int points, const std::string& name) {
  TemplateFont font(face, points);
  std::string at = name + " at " + std::to_string(font.dpi()) + " DPI";
  RECT client{};
  GetClientRect(dialog, &client);
  std::vector<Control> controls = ControlsOf(dialog);
  int edge = 2 * GetSystemMetrics(SM_CXEDGE);
  int failed = report.failed;
  for (const Control& c : controls) {
    std::string what = at + ": control " + std::to_string(c.id) + " " + ToUtf8(TextOf(c.window));
    bool inside = c.rect.left >= 0 && c.rect.top >= 0 && c.rect.right <= client.right &&
                  c.rect.bottom <= client.bottom;
    if (!inside) report.Check(false, what + " lies outside the client area");
    if (!IsWindowVisible(c.window) || c.kind == L"other" || c.kind == L"frame") continue;

    std::vector<wstring> texts{TextOf(c.window)};
    int room = 0;
    if (c.kind == L"button") room = edge;
    if (c.kind == L"check box") room = GetSystemMetrics(SM_CXMENUCHECK) + MulDiv(4, font.dpi(), 96);
    if (c.kind == L"list") {
      texts = ReadCombo(dialog, c.id).entries;
      room = GetSystemMetrics(SM_CXVSCROLL) + edge;
    }
    SIZE widest{};
    for (const wstring& text : texts) {
      SIZE size = font.Extent(text);
      if (size.cx > widest.cx) widest = size;
    }
    int width = c.rect.right - c.rect.left, height = c.rect.bottom - c.rect.top;
    if (widest.cx + room > width || widest.cy > height)
      report.Check(false, what + ": text needs " + std::to_string(widest.cx + room) + " x " +
                              std::to_string(widest.cy) + " pixels, the control has " +
                              std::to_string(width) + " x " + std::to_string(height));
    RECT ink = c.rect;
    if (c.kind == L"label") ink.right = std::min(ink.right, LONG(ink.left + widest.cx));
    for (const Control& other : controls)
      if (other.window != c.window && IsWindowVisible(other.window) && other.kind != L"frame" &&
          Overlap(ink, other.rect))
        report.Check(false, what + " runs into control " + std::to_string(other.id));
  }
  if (report.failed == failed)
    report.Check(true, at + ": " + std::to_string(controls.size()) + " controls inside, no text cut");
}

// ---------------------------------------------------------------- flows

struct Args {
  wstring setup;
  std::vector<wstring> rest;
  const wstring& at(size_t i) const {
    static const wstring none;
    return i < rest.size() ? rest[i] : none;
  }
  int number(size_t i) const { return _wtoi(at(i).c_str()); }
};

// The setup started and its welcome dialog shown, in either language.
struct Session {
  SetupProcess process;
  HWND welcome;

  explicit Session(const Args& args)
      : process(args.setup), welcome(WaitFor(process.pid(), "welcome dialog", [](HWND w) {
          wstring caption = CaptionOf(w);
          return (caption == CaptionsFor(0).welcome || caption == CaptionsFor(2).welcome) &&
                 !GetWindow(w, GW_OWNER);
        })) {}

  DWORD pid() const { return process.pid(); }

  // Waits until the welcome dialog takes commands again. A job's last steps
  // may still run after its outcome was dismissed, and input that comes
  // meanwhile is dropped by design: the About command, asked again until
  // its box shows (then closed), marks the end.
  void WaitUntilIdle() {
    for (DWORD start = GetTickCount(); GetTickCount() - start < kTimeoutMs;) {
      PostMessageW(welcome, WM_SYSCOMMAND, kAboutCommand, 0);
      HWND about = nullptr;
      for (DWORD asked = GetTickCount(); !about && GetTickCount() - asked < kQuietMs; Sleep(kPollMs))
        about = FindDialog(pid(), [](HWND w) { return CaptionOf(w) == kAboutCaption; });
      if (about) {
        Click(about, IDOK);
        return WaitGone(about, "About box");
      }
    }
    report.Fatal("welcome dialog takes no command after the job");
  }

  // Closes the welcome dialog; the process must end with it.
  void Close() {
    PostMessageW(welcome, WM_CLOSE, 0, 0);
    report.Check(process.HasEnded(kTimeoutMs), "setup ends when its window is closed");
  }
};

void ExpectWelcomeCaptions(HWND welcome, int language, const std::string& when) {
  const Captions& c = CaptionsFor(language);
  report.Equal(CaptionOf(welcome), c.welcome, when + ": title");
  report.Equal(TextOf(Item(welcome, 1015)), c.type, when + ": type label");
  report.Equal(TextOf(Item(welcome, 1016)), c.language, when + ": language label");
  report.Equal(TextOf(Item(welcome, 1002)), c.install, when + ": install button");
  report.Equal(TextOf(Item(welcome, 1017)), c.usb, when + ": USB driver button");
}

// Presses Install with TYPE and LANGUAGE chosen; returns the path dialog.
HWND OpenPathDialog(Session& s, int type, int language) {
  Select(s.welcome, 1000, type);
  Select(s.welcome, 1001, language);
  Click(s.welcome, 1002);
  return WaitForCaption(s.pid(), CaptionsFor(language).path, s.welcome);
}

// WINDOW centred on the welcome dialog, as the job windows place themselves.
void ExpectCentred(HWND window, HWND welcome, const std::string& what) {
  RECT owner{}, rect{};
  GetWindowRect(welcome, &owner);
  GetWindowRect(window, &rect);
  int centerX = (owner.left + owner.right) / 2, centerY = (owner.top + owner.bottom) / 2;
  report.Equal(rect.left, centerX - (rect.right - rect.left) / 2, what + " centred on the welcome dialog: left");
  report.Equal(rect.top, centerY - (rect.bottom - rect.top) / 2, what + " centred on the welcome dialog: top");
}

// Ends the path dialog with the button ID and waits until it has gone.
void EndPathDialog(HWND path, int id) {
  Click(path, id);
  WaitGone(path, "path dialog");
}

// A message a busy window may fail to answer; false when it did not.
bool TrySend(HWND w, UINT message, LRESULT* result) {
  DWORD_PTR out = 0;
  if (!SendMessageTimeoutW(w, message, 0, 0, SMTO_ABORTIFHUNG, 1000, &out)) return false;
  *result = LRESULT(out);
  return true;
}

// ---------------------------------------------------------------- scenarios

// startup PRODUCT LANGUAGE-INDEX: the lists and captions at start-up.
void Startup(const Args& args) {
  wstring product = args.at(0);
  int language = args.number(1);
  Session s(args);

  ComboState types = ReadCombo(s.welcome, 1000);
  std::vector<wstring> wantTypes{product};
  wantTypes.insert(wantTypes.end(), kPlugins.begin(), kPlugins.end());
  report.Equal(Join(types.entries), Join(wantTypes), "type list");
  report.Equal(types.selected, 0, "type selected");

  ComboState languages = ReadCombo(s.welcome, 1001);
  report.Equal(Join(languages.entries), Join(kLanguages), "language list");
  report.Equal(languages.selected, language, "language selected");

  ExpectWelcomeCaptions(s.welcome, language, "start-up");
  HWND hidden = Item(s.welcome, 1008);
  report.Check(!HasStyle(hidden, WS_VISIBLE) && !IsWindowEnabled(hidden),
               "second driver button hidden and disabled");
  report.Check(IsEnabled(s.welcome, 1002) && IsEnabled(s.welcome, 1017), "install buttons enabled");
  s.Close();
}

// unnameable: a setup whose folder has a character the code page cannot
// hold exactly says so, in both languages, before any window of its own,
// and ends when the box is closed.
void Unnameable(const Args& args) {
  SetupProcess setup(args.setup);
  HWND box = WaitForMessageBox(setup.pid());
  report.Check(!FindDialog(setup.pid(), [](HWND w) { return GetDlgItem(w, 1000) != nullptr; }),
               "no welcome dialog");
  report.Equal(DismissMessageBox(box),
               FromUtf8("安装程序所在文件夹的名称含有本系统无法表示的字符。"
                        "请将安装程序移到其他文件夹后再运行。\r\n\r\n"
                        "The name of the setup's folder has characters this system cannot "
                        "represent. Move the setup to another folder and run it again."),
               "start-up message");
  report.Check(setup.HasEnded(kTimeoutMs), "the setup ended");
}

// languages: each language pick switches the captions and nothing else.
void Languages(const Args& args) {
  Session s(args);
  Select(s.welcome, 1000, 2);
  for (int language : {1, 0, 3, 0, 2}) {
    Select(s.welcome, 1001, language);
    std::string when = "after picking '" + ToUtf8(kLanguages[language]) + "'";
    ExpectWelcomeCaptions(s.welcome, language, when);
    report.Equal(ReadCombo(s.welcome, 1001).selected, language, when + ": language selected");
    report.Equal(ReadCombo(s.welcome, 1000).selected, 2, when + ": type selection kept");
  }
  s.Close();
}

// path-dialog LANGUAGE-INDEX: captions, lists and enabling for each
// install type, the check box toggling, Cancel.
void PathDialog(const Args& args) {
  int language = args.number(0);
  const Captions& c = CaptionsFor(language);
  Session s(args);
  for (int type = 0; type <= 4; ++type) {
    std::string t = "type " + std::to_string(type);
    HWND path = OpenPathDialog(s, type, language);
    report.Check(!IsWindowEnabled(s.welcome), t + ": welcome dialog disabled while the path dialog runs");
    report.Equal(TextOf(Item(path, 1011)), c.autoInstall, t + ": check box");
    report.Equal(TextOf(Item(path, 1013)), c.version, t + ": version label");
    report.Equal(TextOf(Item(path, 1014)), c.installPath, t + ": path label");
    report.Equal(TextOf(Item(path, 1007)), c.browse, t + ": Browse");
    report.Equal(TextOf(Item(path, IDOK)), c.ok, t + ": OK");
    report.Equal(TextOf(Item(path, IDCANCEL)), c.cancel, t + ": Cancel");
    report.Equal(TextOf(Item(path, 1006)), L"C:\\", t + ": path");
    ComboState versions = ReadCombo(path, 1012);
    report.Equal(Join(versions.entries), Join(kCorelVersions), t + ": version list");
    report.Equal(versions.selected, 1, t + ": version selected");

    bool host = type == 1 || type == 2;  // CorelDRAW and AutoCAD can be found
    bool versionUsable = type == 1;
    report.Check(IsEnabled(path, 1011) == host && IsChecked(path, 1011) == host,
                 t + (host ? ": 'auto' enabled and checked" : ": 'auto' disabled and unchecked"));
    report.Check(IsEnabled(path, 1006) == !host && IsEnabled(path, 1007) == !host,
                 t + (host ? ": path and Browse disabled" : ": path and Browse enabled"));
    report.Check(IsEnabled(path, 1012) == versionUsable,
                 t + (versionUsable ? ": version list enabled" : ": version list disabled"));
    if (host) {
      Send(Item(path, 1011), BM_CLICK);
      report.Check(!IsChecked(path, 1011) && IsEnabled(path, 1006) && IsEnabled(path, 1007),
                   t + ": unchecking 'auto' enables path and Browse");
      report.Check(IsEnabled(path, 1012) == versionUsable, t + ": version list unchanged by unchecking");
      Send(Item(path, 1011), BM_CLICK);
      report.Check(IsChecked(path, 1011) && !IsEnabled(path, 1006) && !IsEnabled(path, 1007),
                   t + ": checking 'auto' again disables path and Browse");
      report.Check(IsEnabled(path, 1012) == versionUsable, t + ": version list unchanged by checking");
    }
    EndPathDialog(path, IDCANCEL);
  }
  report.Check(IsWindowEnabled(s.welcome) != FALSE, "welcome dialog usable after Cancel");
  s.Close();
}

// cancel FOLDER: Cancel in the path dialog installs nothing and shows
// nothing, even with a path typed.
void Cancel(const Args& args) {
  wstring folder = args.at(0);
  Session s(args);
  HWND path = OpenPathDialog(s, 0, 2);
  Send(Item(path, 1006), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(folder.c_str()));
  EndPathDialog(path, IDCANCEL);
  ExpectNoMessageBox(s.pid(), "after Cancel");
  report.Check(!Exists(WithSlash(folder) + L"Orvane"), "nothing installed after Cancel");
  report.Check(IsWindowEnabled(s.welcome) != FALSE, "welcome dialog usable after Cancel");
  s.Close();
}

// install FOLDER LANGUAGE-INDEX PRODUCT: the program install end to end.
// The payload holds QVTPrograms\Orvane.exe and Uninstall.exe and the plug-in
// folders; beside the setup lie QVTDoc\manual.txt and QVTCfg\SoftCfg.ini.
void Install(const Args& args) {
  wstring folder = WithSlash(args.at(0));
  int language = args.number(1);
  wstring product = args.at(2);
  wstring desktopLink = WithSlash(SpecialFolder(CSIDL_DESKTOPDIRECTORY)) + product + L".lnk";
  wstring menu = WithSlash(SpecialFolder(CSIDL_PROGRAMS)) + L"Orvane\\";
  for (const wstring& link : {desktopLink, menu + product + L".lnk", menu + L"Uninstall.lnk"})
    DeleteFileW(link.c_str());

  Session s(args);
  HWND path = OpenPathDialog(s, 0, language);
  Send(Item(path, 1006), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(folder.c_str()));
  EndPathDialog(path, IDOK);
  HWND box = WaitForMessageBox(s.pid());
  report.Check(!IsWindowEnabled(s.welcome), "welcome dialog disabled while the message box is up");
  report.Equal(DismissMessageBox(box), CaptionsFor(language).installOk, "success message");
  ExpectNoMessageBox(s.pid(), "after the success message");
  report.Check(IsWindowEnabled(s.welcome) != FALSE, "welcome dialog usable after the install");

  wstring installed = folder + L"Orvane\\";
  wstring program = installed + L"QVTPrograms\\Orvane.exe";
  report.Check(Exists(program), "program extracted");
  report.Check(Exists(installed + L"QVTPrograms\\Uninstall.exe"), "uninstaller extracted");
  report.Check(!Exists(installed + L"QVTCad") && !Exists(installed + L"QVTCorel") &&
                   !Exists(installed + L"QVTAi"),
               "plug-in folders removed");
  report.Check(Exists(installed + L"QVTDoc\\manual.txt"), "settings folders copied");
  wstring softCfg = installed + L"QVTCfg\\SoftCfg.ini";
  report.Equal(GetPrivateProfileIntW(L"BaseCfg", L"Language", -1, softCfg.c_str()), language + 1,
               "language in SoftCfg.ini");
  report.Equal(LinkTarget(desktopLink), program, "desktop shortcut target");
  report.Equal(LinkTarget(menu + product + L".lnk"), program, "menu shortcut target");
  report.Equal(LinkTarget(menu + L"Uninstall.lnk"), installed + L"QVTPrograms\\Uninstall.exe",
               "uninstall shortcut target");
  s.Close();
}

// install-fails FOLDER TYPE MESSAGE short|full: an install that fails shows
// MESSAGE (English) and no success message; the busy window stays up while
// it shows, its bar short of its end (failed in the extraction) or at it.
void InstallFails(const Args& args) {
  wstring folder = args.at(0);
  Session s(args);
  HWND path = OpenPathDialog(s, args.number(1), 2);
  Send(Item(path, 1006), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(folder.c_str()));
  EndPathDialog(path, IDOK);
  HWND box = WaitForMessageBox(s.pid());
  report.Check(!IsWindowEnabled(s.welcome), "welcome dialog disabled while the message box is up");
  if (HWND runner = FindDialog(s.pid(), [](HWND w) { return GetDlgItem(w, 1018) != nullptr; })) {
    CheckLayout(runner, L"MS Sans Serif", 8, "install runner");
    ExpectCentred(runner, s.welcome, "install runner");
    LRESULT position = Send(Item(runner, 1018), PBM_GETPOS);
    report.Check((position == 1000) == (args.at(3) == L"full"),
                 "install runner's bar at " + std::to_string(position) + " of 1000");
  } else {
    report.Check(false, "install runner shown with the failure message");
  }
  report.Equal(DismissMessageBox(box), args.at(2), "failure message");
  ExpectNoMessageBox(s.pid(), "after the failure message");
  report.Check(IsWindowEnabled(s.welcome) != FALSE, "welcome dialog usable after the failure");
  s.Close();
}

// busy install FOLDER READ-MARK AT-READ MOVES-AFTER | busy driver
// SIGNAL-FOLDER: a program install (English) from a medium slow enough to
// last well over 5 s (READ-MARK appears once the setup file's last byte has
// been read: the bar then stands at AT-READ of 1000 or more, and moves
// through MOVES-AFTER positions or more short of its end after it), or the driver
// run with an installer that takes seconds (SIGNAL-FOLDER\started and \ended
// mark it for whoever reads the setup's processor time, who then creates
// \measured). Every 200 ms until the outcome shows: no window of the setup
// is hung, each repaints within a sample when invalidated (once a second),
// the bar only moves forward. A second in, clicks on both buttons, Esc,
// Alt+F4 and closes of both windows start and close nothing, then or after.
void Busy(const Args& args) {
  const bool install = args.at(0) == L"install";
  const int barId = install ? 1018 : 1009;
  wstring signal = WithSlash(args.at(1));
  Session s(args);
  if (install) {
    HWND path = OpenPathDialog(s, 0, 2);
    Send(Item(path, 1006), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(args.at(1).c_str()));
    EndPathDialog(path, IDOK);
  } else {
    Select(s.welcome, 1001, 2);
    Click(s.welcome, 1017);
  }
  HWND busy = WaitFor(s.pid(), "busy window", [&](HWND w) { return GetDlgItem(w, barId) != nullptr; });
  if (!install) Touch(signal + L"started");
  int samples = 0, hung = 0, unpainted = 0;
  std::vector<LRESULT> bar;  // each position as it first showed
  std::vector<std::pair<DWORD, LRESULT>> timeline;  // every sample's time and position
  LRESULT at_read = -1;
  int moves_after = 0;
  int atEnd = 0;             // samples of the driver run's bar at its end
  std::vector<HWND> invalidated;
  HWND box = nullptr;
  DWORD start = GetTickCount(), lasted = 0;
  for (int n = 0; !(box = FindDialog(s.pid(), IsMessageBox)) && lasted < 4 * kTimeoutMs; ++n) {
    for (HWND w : invalidated) unpainted += GetUpdateRect(w, nullptr, FALSE) ? 1 : 0;
    invalidated.clear();
    for (HWND w : DialogsOf(s.pid())) {
      ++samples, hung += IsHungAppWindow(w) ? 1 : 0;
      if (n % 5 == 0)  // not more often: repaints weigh on the processor time
        RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN), invalidated.push_back(w);
    }
    LRESULT position = 0;
    if (TrySend(Item(busy, barId), PBM_GETPOS, &position)) {
      if (bar.empty() || bar.back() != position) {
        bar.push_back(position);
        if (at_read >= 0 && position < 1000) ++moves_after;
      }
      atEnd += !install && position == 100 ? 1 : 0;
    }
    timeline.emplace_back(GetTickCount() - start, position);
    if (install && at_read < 0 && Exists(args.at(2))) at_read = position;
    if (n == 5) {  // a second in
      Click(s.welcome, 1002), Click(s.welcome, 1017);
      for (HWND w : {s.welcome, busy}) {
        PostMessageW(w, WM_KEYDOWN, VK_ESCAPE, 1);
        PostMessageW(w, WM_SYSKEYDOWN, VK_F4, 1 << 29 | 1);  // with Alt
        PostMessageW(w, WM_CLOSE, 0, 0);
      }
    }
    Sleep(200);
    lasted = GetTickCount() - start;
  }
  if (!box) report.Fatal("no message box at the job's end");
  if (!install) Touch(signal + L"ended");
  std::string job = install ? "the install" : "the driver run";
  report.Check(lasted > 6000, job + " lasted " + std::to_string(lasted) + " ms, over 5 s");
  report.Equal(hung, 0, job + ": hung samples of " + std::to_string(samples));
  report.Equal(unpainted, 0, job + ": windows not repainted within a sample");
  report.Check(std::is_sorted(bar.begin(), bar.end()) && bar.size() >= 4,
               job + ": the bar moved forward through " + std::to_string(bar.size()) + " positions");
  if (install) {
    std::string when;
    for (int quarter = 1; quarter <= 3; ++quarter) {
      auto sample = std::find_if(timeline.begin(), timeline.end(), [&](const auto& t) {
        return t.first * 4 >= lasted * quarter;
      });
      when += " " + std::to_string(sample == timeline.end() ? -1 : sample->second);
    }
    std::printf("the bar at 1/4, 1/2, 3/4 of %lu ms:%s of 1000\n", lasted, when.c_str());
    report.Check(at_read >= args.number(3), job + ": the bar at " + std::to_string(at_read) +
                                                 " of 1000 once the setup was read");
    report.Check(moves_after >= args.number(4), job + ": the bar moved through " +
                                                    std::to_string(moves_after) +
                                                    " positions after the setup was read");
  } else {  // the installer outlasts the step count: the bar waits at its end
    report.Check(atEnd >= 3 && bar.back() == 100,
                 job + ": past its step count the bar held at its end for " + std::to_string(atEnd) +
                     " samples before the outcome");
  }
  bool measured = install;
  for (DWORD wait = GetTickCount(); !measured && GetTickCount() - wait < kTimeoutMs; Sleep(kPollMs))
    measured = Exists(signal + L"measured");
  report.Equal(DismissMessageBox(box), L"Install OK!", job + ": outcome");
  WaitGone(busy, "busy window");
  HWND other = nullptr;
  for (DWORD wait = GetTickCount(); !other && GetTickCount() - wait < kQuietMs; Sleep(kPollMs))
    other = FindDialog(s.pid(), [&](HWND w) { return w != s.welcome; });
  report.Check(!other && !s.process.HasEnded(0), "nothing started, shown or closed after " + job);
  s.Close();
}

// about: the system-menu command opens the About box, twice; OK and the
// close box both close it.
void About(const Args& args) {
  Session s(args);
  for (UINT closeWith : {UINT(BM_CLICK), UINT(WM_CLOSE)}) {
    std::string how = closeWith == BM_CLICK ? "closed with OK" : "closed with the close box";
    PostMessageW(s.welcome, WM_SYSCOMMAND, kAboutCommand, 0);
    HWND about = WaitForCaption(s.pid(), kAboutCaption, s.welcome);
    report.Check(!IsWindowEnabled(s.welcome), "welcome dialog disabled while the About box is up");
    bool textFound = false;
    for (HWND child = GetWindow(about, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
      textFound = textFound || TextOf(child) == kAboutText;
    report.Check(textFound, "About box shows '" + ToUtf8(kAboutText) + "'");
    report.Equal(TextOf(Item(about, IDOK)), kAboutOk, "About box OK button");
    if (closeWith == BM_CLICK)
      Click(about, IDOK);
    else
      PostMessageW(about, WM_CLOSE, 0, 0);
    bool gone = Gone(about);
    report.Check(gone, "About box " + how);
    if (!gone) throw Abort{};
  }
  s.Close();
}

// usb-driver LANGUAGE-INDEX: button 1017 with a stand-in driver installer
// in the payload: the progress window, the outcome, the files.
void UsbDriver(const Args& args) {
  int language = args.number(0);
  wchar_t system[MAX_PATH] = {};
  GetSystemDirectoryW(system, MAX_PATH);
  wstring scratch = WithSlash(system);
  wstring installer = scratch + L"QVTDriver\\InstallDriver.exe";
  DeleteFileW(installer.c_str());

  Session s(args);
  Select(s.welcome, 1001, language);
  Click(s.welcome, 1017);
  HWND box = WaitForMessageBox(s.pid());
  // The progress window stays up while the outcome is shown.
  HWND progress = FindDialog(s.pid(), [](HWND w) { return GetDlgItem(w, 1009) != nullptr; });
  if (progress) {
    report.Equal(CaptionOf(progress), CaptionsFor(language).driverProgress, "progress window caption");
    HWND bar = Item(progress, 1009);
    report.Equal(Send(bar, PBM_GETRANGE, FALSE), 100, "progress bar range ends at 100");
    report.Equal(Send(bar, PBM_GETPOS), 100, "progress bar full when the installer has ended");
    CheckLayout(progress, L"MS Sans Serif", 8, "driver progress window");
    ExpectCentred(progress, s.welcome, "progress window");
  } else {
    report.Check(false, "progress window shown with the outcome");
  }
  report.Equal(DismissMessageBox(box), L"Install OK!", "driver outcome");
  if (progress) WaitGone(progress, "progress window");
  report.Check(Exists(installer), "installer extracted into the system folder");
  report.Check(Exists(scratch + L"MXDriver\\QvtWdf0.d"), "co-installer files kept");
  report.Check(!Exists(scratch + L"MXDriver\\UsbDriver.exe"), "serial kit files cleaned up");
  report.Check(IsWindowEnabled(s.welcome) != FALSE, "welcome dialog usable after the driver run");
  s.WaitUntilIdle();
  s.Close();
}

// layout LANGUAGE-INDEX: the welcome dialog, the path dialog and the About
// box laid out at the screen's DPI with the captions of that language.
void Layout(const Args& args) {
  int language = args.number(0);
  Session s(args);
  Select(s.welcome, 1001, language);
  CheckLayout(s.welcome, kDialogFace.c_str(), 9, "welcome dialog");
  HWND path = OpenPathDialog(s, 1, language);
  CheckLayout(path, kDialogFace.c_str(), 9, "path dialog");
  EndPathDialog(path, IDCANCEL);
  PostMessageW(s.welcome, WM_SYSCOMMAND, kAboutCommand, 0);
  HWND about = WaitForCaption(s.pid(), kAboutCaption, s.welcome);
  CheckLayout(about, kDialogFace.c_str(), 9, "About box");
  Click(about, IDOK);
  WaitGone(about, "About box");
  s.Close();
}

// The folder picker's tree, walked by its items: each item is selected and
// the picker's status line read (a text pointer does not cross processes;
// a window's text does). Items whose folder holds TARGET are gone into;
// folders without a path (My Computer) only when no item holds it.
bool SameFolder(const wstring& a, const wstring& b) { return _wcsicmp(a.c_str(), b.c_str()) == 0; }

bool HoldsFolder(const wstring& folder, const wstring& target) {
  return !folder.empty() && folder.size() < target.size() &&
         _wcsnicmp(folder.c_str(), target.c_str(), folder.size()) == 0 &&
         (folder.back() == L'\\' || target[folder.size()] == L'\\');
}

HTREEITEM TreeItem(HWND tree, WPARAM relation, HTREEITEM from) {
  return reinterpret_cast<HTREEITEM>(Send(tree, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(from)));
}

bool PickInTree(HWND tree, HWND status, const wstring& target, HTREEITEM parent, int depth) {
  Send(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(parent));
  std::vector<HTREEITEM> virtualFolders;
  for (HTREEITEM item = TreeItem(tree, TVGN_CHILD, parent); item; item = TreeItem(tree, TVGN_NEXT, item)) {
    Send(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
    wstring shown = TextOf(status);
    if (SameFolder(shown, target)) return true;
    if (HoldsFolder(shown, target)) return PickInTree(tree, status, target, item, depth + 1);
    if (shown.empty() && depth < 2) virtualFolders.push_back(item);
  }
  for (HTREEITEM item : virtualFolders)
    if (PickInTree(tree, status, target, item, depth + 1)) return true;
  return false;
}

// browse FOLDER OTHER-FOLDER: Browse in the path dialog opens the folder
// picker; the folder picked in its tree shows on its status line, and OK
// puts FOLDER (created here, removed at the end) in the path box as a full
// path; OTHER-FOLDER picked next and Cancel leave the box as it was.
void Browse(const Args& args) {
  wstring folder = args.at(0), other = args.at(1);
  CreateDirectoryW(folder.c_str(), nullptr);
  struct Removed {
    wstring path;
    ~Removed() { RemoveDirectoryW(path.c_str()); }
  } removed{folder};
  Session s(args);
  HWND path = OpenPathDialog(s, 0, 2);
  for (const wstring& pick : {folder, other}) {
    bool ok = pick == folder;
    Click(path, 1007);
    HWND picker = WaitFor(s.pid(), "folder picker", [&](HWND w) {
      return GetWindow(w, GW_OWNER) == path && GetDlgItem(w, kPickerTree) != nullptr;
    });
    report.Check(!IsWindowEnabled(path), "path dialog disabled while the picker is up");
    HWND tree = Item(picker, kPickerTree), status = Item(picker, kPickerStatus);
    HTREEITEM root = TreeItem(tree, TVGN_ROOT, nullptr);
    report.Check(root && PickInTree(tree, status, pick, root, 0), "'" + ToUtf8(pick) + "' picked in the tree");
    report.Equal(TextOf(status), pick, "status line shows the picked folder");
    Click(picker, ok ? IDOK : IDCANCEL);
    WaitGone(picker, "folder picker");
    report.Equal(TextOf(Item(path, 1006)), folder,
                 ok ? "OK puts the picked folder in the path box" : "Cancel leaves the path box as it was");
  }
  EndPathDialog(path, IDCANCEL);
  s.Close();
}

// The registry's plug-in hosts for one scenario: none but the key made
// here, before and after it (its view is the setup's: both run alike).
class HostKeys {
 public:
  HostKeys() { Clear(); }
  ~HostKeys() { Clear(); }
  HostKeys(const HostKeys&) = delete;
  HostKeys& operator=(const HostKeys&) = delete;

  // SOFTWARE\Corel\Setup\<suite> with its "Destination"; false on failure.
  bool AddCorel(const wstring& suite, const wstring& destination) {
    HKEY key = nullptr;
    wstring path = L"SOFTWARE\\Corel\\Setup\\" + suite;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
      return false;
    LONG written = RegSetValueExW(key, L"Destination", 0, REG_SZ,
                                  reinterpret_cast<const BYTE*>(destination.c_str()),
                                  DWORD((destination.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
    return written == ERROR_SUCCESS;
  }

 private:
  static void Clear() {
    SHDeleteKeyW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Corel\\Setup");
    SHDeleteKeyW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Autodesk\\AutoCAD");
  }
};

// path-ok corel VERSION-INDEX FOLDER | path-ok acad FOLDER: the path dialog
// ended with OK for a plug-in (English), its choices reaching the install.
// corel: "Auto to Install" left checked and the version VERSION-INDEX
// picked, against a registry holding only that version's key, whose
// Destination is FOLDER; acad: "Auto to Install" cleared and FOLDER (which
// holds acad.exe) typed, no AutoCAD in the registry. Only when every
// choice arrived does the install succeed.
void PathOk(const Args& args) {
  const bool corel = args.at(0) == L"corel";
  wstring given = corel ? args.at(2) : args.at(1), folder = WithSlash(given);
  HostKeys hosts;
  if (corel && !hosts.AddCorel(kCorelKeys[args.number(1) % 9], given))
    report.Fatal("registry fixture not written");
  Session s(args);
  HWND path = OpenPathDialog(s, corel ? 1 : 2, 2);
  if (corel) {
    Select(path, 1012, args.number(1));
  } else {
    Send(Item(path, 1011), BM_CLICK);
    Send(Item(path, 1006), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(folder.c_str()));
  }
  EndPathDialog(path, IDOK);
  report.Equal(DismissMessageBox(WaitForMessageBox(s.pid())), L"Install OK!", "outcome");
  if (corel) {
    report.Check(Exists(folder + L"Draw\\GMS\\QVTCorel.gms"), "macro delivered into the version's folder");
    report.Check(!Exists(folder + L"Programs\\QVTCorel"), "payload's CorelDRAW folder removed");
  } else {
    report.Check(Exists(folder + L"QVTSrtCad.dll"), "add-in delivered into the typed folder");
  }
  s.WaitUntilIdle();
  s.Close();
}

// pose WHAT LANGUAGE-INDEX SIGNAL-FOLDER: brings the welcome dialog
// (WHAT = welcome), the path dialog (WHAT = path) or, from a slow medium,
// the install runner with its bar a third on (WHAT = runner, installing into
// SIGNAL-FOLDER) up in a language, creates SIGNAL-FOLDER\ready and waits for
// SIGNAL-FOLDER\done (the screenshot has been taken), then closes
// everything (the runner's setup is ended where it is).
void Pose(const Args& args) {
  wstring what = args.at(0);
  int language = args.number(1);
  wstring signal = WithSlash(args.at(2));
  Session s(args);
  HWND shown = s.welcome;
  if (what == L"path" || what == L"runner") {
    shown = OpenPathDialog(s, 0, language);
  }
  if (what == L"runner") {
    Send(Item(shown, 1006), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(signal.c_str()));
    EndPathDialog(shown, IDOK);
    shown = WaitFor(s.pid(), "install runner", [](HWND w) { return GetDlgItem(w, 1018) != nullptr; });
    LRESULT position = 0;
    for (DWORD start = GetTickCount(); position < 333 && GetTickCount() - start < kTimeoutMs; Sleep(kPollMs))
      TrySend(Item(shown, 1018), PBM_GETPOS, &position);
  } else if (what != L"path") {
    Select(s.welcome, 1001, language);
  }
  RedrawWindow(shown, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
  Send(shown, WM_NULL);
  report.Check(Touch(signal + L"ready"), "signal ready");
  bool done = false;
  for (DWORD start = GetTickCount(); !done && GetTickCount() - start < 4 * kTimeoutMs; Sleep(kPollMs))
    done = Exists(signal + L"done");
  report.Check(done, "screenshot taken");
  if (what == L"runner") return;
  if (shown != s.welcome) EndPathDialog(shown, IDCANCEL);
  s.Close();
}

struct Scenario {
  const char* name;
  void (*run)(const Args&);
  const char* usage;
};

const Scenario kScenarios[] = {
    {"startup", Startup, "PRODUCT LANGUAGE-INDEX"},
    {"unnameable", Unnameable, ""},
    {"languages", Languages, ""},
    {"path-dialog", PathDialog, "LANGUAGE-INDEX"},
    {"cancel", Cancel, "FOLDER"},
    {"install", Install, "FOLDER LANGUAGE-INDEX PRODUCT"},
    {"install-fails", InstallFails, "FOLDER TYPE MESSAGE short|full"},
    {"busy", Busy, "install FOLDER READ-MARK AT-READ MOVES-AFTER | driver SIGNAL-FOLDER"},
    {"about", About, ""},
    {"usb-driver", UsbDriver, "LANGUAGE-INDEX"},
    {"layout", Layout, "LANGUAGE-INDEX"},
    {"browse", Browse, "FOLDER OTHER-FOLDER"},
    {"path-ok", PathOk, "corel VERSION-INDEX FOLDER | acad FOLDER"},
    {"pose", Pose, "welcome|path|runner LANGUAGE-INDEX SIGNAL-FOLDER"},
};

int Usage() {
  std::fprintf(stderr, "usage: gui_driver SCENARIO SETUP.EXE [ARGS...]\n");
  for (const Scenario& s : kScenarios) std::fprintf(stderr, "  %s SETUP.EXE %s\n", s.name, s.usage);
  return 2;
}

}  // namespace

int main() {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (!argv || argc < 3) return Usage();
  std::string name = ToUtf8(argv[1]);
  Args args{argv[2], std::vector<wstring>(argv + 3, argv + argc)};
  LocalFree(argv);

  for (const Scenario& scenario : kScenarios) {
    if (name != scenario.name) continue;
    report.scenario = scenario.name;
    CoInitialize(nullptr);
    try {
      scenario.run(args);
    } catch (const Abort&) {
      // Reported already; the session's destructor ended the setup.
    }
    CoUninitialize();
    std::printf("%s %s: %d failed\n", report.failed ? "FAILED" : "PASSED", scenario.name, report.failed);
    return report.failed ? 1 : 0;
  }
  return Usage();
}
