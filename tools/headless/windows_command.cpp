// windows: what the driver run learns of the system it runs on.
#include <cstdio>

#include "drivers/driver_placement.h"
#include "platform/system_info.h"
#include "tools/headless/commands.h"

namespace ovsetup::headless {

int RunWindows(const std::vector<std::string>& args) {
  if (!args.empty()) return Usage("windows: no arguments expected");
  platform::WindowsVersion version;
  const int bits = drivers::Is64BitWindows() ? 64 : 32;
  if (!platform::GetWindowsVersion(&version)) {
    std::printf("version unknown, %d-bit\n", bits);
    return kExitFailed;
  }
  std::printf("version %u.%u, %d-bit\n", version.major, version.minor, bits);
  return kExitOk;
}

}  // namespace ovsetup::headless
