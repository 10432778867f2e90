// The safe DLL search order. Windows looks for a DLL that is loaded by name
// and is not a known DLL in the program's own folder first, and a setup is
// run elevated from wherever it was saved: whatever lies beside it would run
// with the setup's rights.
#include "platform/dll_search.h"

#include <windows.h>

#include <string>

#include "platform/system_info.h"

namespace ovsetup::platform {
namespace {

// LOAD_LIBRARY_SEARCH_SYSTEM32: DLLs loaded by name come from the system
// folder alone.
constexpr DWORD kSearchSystemFolder = 0x00000800;

// The DLLs that the common controls, COM and the shell load by name after
// start and that no known DLL covers, in one place. They are loaded from the
// system folder at start, so that the later load by name finds the module
// loaded. That is the whole defence where the search cannot be restricted,
// and it also covers the loads that bypass the restriction: Wine looks for a
// DLL's own and delay-loaded imports (comctl32's uxtheme.dll, uxtheme's
// msimg32.dll) along the process's first search path, the program's folder
// first. Each name is one that a peer installer's public fix preloads for
// the reason given (NSIS since 3.0b3, 7-Zip's DLL security code) or that the
// setup loads after start under Wine (WINEDEBUG=+loaddll); Microsoft's
// "Dynamic-Link Library Security" describes the attack.
const wchar_t* const kLateLoadedDlls[] = {
    L"uxtheme.dll",    // visual styles, when the first window is made (Wine; XP to 7)
    L"msimg32.dll",    // the themed controls' drawing (Wine)
    L"dwmapi.dll",     // loaded by uxtheme (7)
    L"userenv.dll",    // shell32's profile folders (Vista)
    L"setupapi.dll",   // shell32's drive helper (XP)
    L"apphelp.dll",    // shell32's shell-object checks (Vista)
    L"propsys.dll",    // shlwapi's property bags (Vista)
    L"cryptbase.dll",  // rpcrt4's random numbers as COM starts (7)
    L"oleacc.dll",     // shell32's progress windows (Vista)
    L"clbcatq.dll",    // ole32's class catalogue for CoCreateInstance (XP SP2, SP3)
    L"ntmarta.dll",    // advapi32's access-control lists (7)
    L"version.dll",    // file versions, asked for by the shell (7-Zip's list)
};

typedef BOOL(WINAPI* SetDefaultDllDirectoriesFn)(DWORD);

// Makes kernel32 search the system folder alone for DLLs loaded by name,
// where it can: Windows 8 and later, Vista and 7 with KB2533623.
void RestrictSearchToSystemFolder() {
  // On Vista the shell-link object cannot be created once the search is
  // restricted (NSIS and 7-Zip leave Vista out for this); the shortcuts need
  // it, so Vista has the preloads alone.
  WindowsVersion version;
  if (GetWindowsVersion(&version) && version.major == 6 && version.minor == 0) return;
  const HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
  const auto set_default_dll_directories =
      kernel ? reinterpret_cast<SetDefaultDllDirectoriesFn>(
                   reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")))
             : nullptr;
  if (set_default_dll_directories != nullptr)
    (void)set_default_dll_directories(kSearchSystemFolder);
}

// Loads kLateLoadedDlls from the system folder by full path. They stay
// loaded for the life of the process: that is their purpose.
void PreloadLateLoadedDlls() {
  wchar_t system[MAX_PATH + 1] = {};
  const UINT length = GetSystemDirectoryW(system, MAX_PATH + 1);
  if (length == 0 || length > MAX_PATH) return;
  for (const wchar_t* name : kLateLoadedDlls) {
    const std::wstring path = std::wstring(system) + L"\\" + name;
    // The DLL's own imports are then looked for in its folder, the system
    // folder, rather than beside the setup.
    (void)LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  }
}

}  // namespace

void LoadDllsFromSystemFolderOnly() {
  // The current folder leaves the search in any case (XP SP1 and later).
  (void)SetDllDirectoryW(L"");
  RestrictSearchToSystemFolder();
  PreloadLateLoadedDlls();
}

}  // namespace ovsetup::platform
