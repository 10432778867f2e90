// Linux stand-in: the system's answers come from OVSETUP_* variables.
#include "platform/system_info.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <unistd.h>

#include "platform/posix/host_path.h"

namespace ovsetup::platform {

bool GetSystemFolder(std::string* folder) {
  const char* dir = std::getenv("OVSETUP_SYSDIR");
  if (dir == nullptr || *dir == '\0' || std::strlen(dir) >= 261) return false;
  *folder = FromHostPath(dir);
  return true;
}

bool GetWindowsVersion(WindowsVersion* version) {
  const char* text = std::getenv("OVSETUP_WINVER");
  unsigned major = 0, minor = 0;
  char tail = 0;
  if (text == nullptr || std::sscanf(text, "%u.%u%c", &major, &minor, &tail) != 2) return false;
  version->major = major;
  version->minor = minor;
  return true;
}

bool IsWow64() {
  const char* flag = std::getenv("OVSETUP_WOW64");
  return flag != nullptr && std::strcmp(flag, "1") == 0;
}

std::uint32_t TickCount() {
  timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<std::uint32_t>(static_cast<std::uint64_t>(now.tv_sec) * 1000 +
                                    static_cast<std::uint64_t>(now.tv_nsec) / 1000000);
}

void SleepFor(unsigned milliseconds) { usleep(static_cast<useconds_t>(milliseconds) * 1000); }

}  // namespace ovsetup::platform
