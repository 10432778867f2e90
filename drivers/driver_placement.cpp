#include "drivers/driver_placement.h"

#include "drivers/mdmcpq_store.h"
#include "platform/file_io.h"
#include "platform/file_ops.h"
#include "platform/system_info.h"

namespace ovsetup::drivers {
namespace {

enum class Bits { kAny, k64, k32 };

// One copy: a kit file to a path below the Windows folder (or below the
// driver-store folder for the store rows).
struct Placement {
  Bits bits;
  const char* source;
  const char* target;
  bool overwrite;
};

const Placement kCommonRows[] = {
    {Bits::k64, "QvtWdf1.d", "system32\\WdfCoInstaller01011.dll", true},
    {Bits::k64, "QvtWin1.d", "system32\\winusbcoinstaller2.dll", true},
    {Bits::k32, "QvtWdf0.d", "system32\\WdfCoInstaller01011.dll", true},
    {Bits::k32, "QvtWin0.d", "system32\\winusbcoinstaller2.dll", true},
    {Bits::kAny, "Qvtvcomdrv.inf", "inf\\Qvtvcomdrv.inf", true},
    {Bits::kAny, "Qvtvcomdrv.cat", "inf\\Qvtvcomdrv.cat", true},
};

const Placement kWindows7Rows[] = {
    {Bits::k64, "qvt512m2.006", "inf\\mdmcpq.inf", false},
    {Bits::k64, "qvt512u2.006", "inf\\usbser.sys", false},
    {Bits::k64, "qvt512u2.006", "system32\\drivers\\usbser.sys", false},
    {Bits::k32, "qvt512m.006", "inf\\mdmcpq.inf", false},
    {Bits::k32, "qvt512u.006", "inf\\usbser.sys", false},
    {Bits::k32, "qvt512u.006", "system32\\drivers\\usbser.sys", false},
};

// Targets relative to the driver-store folder.
const Placement kStoreRows[] = {
    {Bits::k64, "qvt512m2.006", "mdmcpq.inf", false},
    {Bits::k64, "qvt512u2.006", "usbser.sys", false},
    {Bits::k32, "qvt512m.006", "mdmcpq.inf", false},
    {Bits::k32, "qvt512u.006", "usbser.sys", false},
};

const Placement kXpRows[] = {
    {Bits::kAny, "qvt512m.005", "inf\\mdmcpq.inf", false},
    {Bits::kAny, "qvt512u.005", "inf\\usbser.sys", false},
    {Bits::kAny, "qvt512u.005", "system32\\drivers\\usbser.sys", false},
};

// Copies the rows that apply to this bitness; the bitness is asked afresh
// for every group, and every copy's result is ignored.
template <std::size_t N>
void CopyRows(const Placement (&rows)[N], const std::string& kit_folder,
              const std::string& target_folder) {
  const Bits bits = Is64BitWindows() ? Bits::k64 : Bits::k32;
  for (const Placement& row : rows) {
    if (row.bits != Bits::kAny && row.bits != bits) continue;
    platform::CopyOneFile(kit_folder + row.source, target_folder + row.target, !row.overwrite);
  }
}

}  // namespace

int Is64BitWindows() { return platform::IsWow64() ? 1 : 0; }

void PlaceDriverFiles(const std::string& kit_folder) {
  std::string system;
  if (!platform::GetSystemFolder(&system)) return;
  const std::size_t slash = system.rfind('\\');
  const std::string windows = (slash == std::string::npos ? system : system.substr(0, slash)) + "\\";

  CopyRows(kCommonRows, kit_folder, windows);
  platform::WindowsVersion version;
  if (!platform::GetWindowsVersion(&version)) return;
  if (version.major == 6 && version.minor == 1) {
    CopyRows(kWindows7Rows, kit_folder, windows);
    std::string name;
    if (FindMdmcpqStoreFolder(windows + "inf\\setupapi.dev.log", &name)) {
      const std::string store = windows + "System32\\DriverStore\\FileRepository\\" + name + "\\";
      platform::CreateOneFolder(store);
      CopyRows(kStoreRows, kit_folder, store);
    }
  } else if (version.major == 5 && version.minor == 1) {
    CopyRows(kXpRows, kit_folder, windows);
  }
}

}  // namespace ovsetup::drivers
