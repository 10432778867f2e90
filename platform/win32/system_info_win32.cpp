#include "platform/system_info.h"

#include <windows.h>

namespace ovsetup::platform {

bool GetSystemFolder(std::string* folder) {
  char buffer[261] = {};
  const UINT length = GetSystemDirectoryA(buffer, sizeof buffer);
  if (length == 0 || length >= sizeof buffer) return false;
  *folder = buffer;
  return true;
}

bool GetWindowsVersion(WindowsVersion* version) {
  OSVERSIONINFOEXA info = {};
  info.dwOSVersionInfoSize = sizeof info;
  static_assert(sizeof(OSVERSIONINFOEXA) == 156, "the extended version record is 156 bytes");
  if (!GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&info))) return false;
  version->major = info.dwMajorVersion;
  version->minor = info.dwMinorVersion;
  return true;
}

bool IsWow64() {
  // A 64-bit build (the test stand-in for the 32-bit setup) only runs on
  // 64-bit Windows, where IsWow64Process would answer FALSE for it.
  if (sizeof(void*) == 8) return true;
  typedef BOOL(WINAPI * IsWow64ProcessFn)(HANDLE, PBOOL);
  const HMODULE kernel = GetModuleHandleA("kernel32");
  const auto is_wow64 =
      kernel ? reinterpret_cast<IsWow64ProcessFn>(
                   reinterpret_cast<void*>(GetProcAddress(kernel, "IsWow64Process")))
             : nullptr;
  if (is_wow64 == nullptr) return false;
  BOOL wow64 = FALSE;
  is_wow64(GetCurrentProcess(), &wow64);
  return wow64 != FALSE;
}

std::uint32_t TickCount() { return GetTickCount(); }

void SleepFor(unsigned milliseconds) { Sleep(milliseconds); }

}  // namespace ovsetup::platform
