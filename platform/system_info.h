// What the driver run asks of the system: its folders, version and bitness,
// and time. On Linux these come from OVSETUP_SYSDIR, OVSETUP_WINVER
// ("major.minor") and OVSETUP_WOW64 ("1": 64-bit Windows).
#pragma once

#include <cstdint>
#include <string>

namespace ovsetup::platform {

// The system folder (e.g. C:\Windows\system32), as GetSystemDirectoryA gives
// it into 261 bytes. False when the lookup fails.
bool GetSystemFolder(std::string* folder);

struct WindowsVersion {
  unsigned major = 0;
  unsigned minor = 0;
};

// The version GetVersionExA reports with the extended record. False when the
// query fails (on Linux: OVSETUP_WINVER unset or not "major.minor").
bool GetWindowsVersion(WindowsVersion* version);

// True on 64-bit Windows: IsWow64Process of the current process, looked up
// in kernel32 at every call (absent on old systems: false).
bool IsWow64();

// Milliseconds since system start, wrapping at 2^32 (GetTickCount).
std::uint32_t TickCount();

// Suspends the calling thread for `milliseconds`.
void SleepFor(unsigned milliseconds);

}  // namespace ovsetup::platform
