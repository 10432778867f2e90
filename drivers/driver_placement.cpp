#include "drivers/driver_placement.h"

#include <algorithm>

#include "drivers/mdmcpq_store.h"
#include "platform/file_io.h"
#include "platform/file_ops.h"
#include "platform/path_text.h"
#include "platform/system_info.h"

namespace ovsetup::drivers {
namespace {

// One kit file: its name for 64-bit and for 32-bit Windows.
struct KitFile {
  const char* bits64;
  const char* bits32;
};

// The common set, copied over existing files to paths below the Windows folder.
const struct {
  KitFile source;
  const char* target;
} kCommonRows[] = {
    {{"QvtWdf1.d", "QvtWdf0.d"}, "system32\\WdfCoInstaller01011.dll"},
    {{"QvtWin1.d", "QvtWin0.d"}, "system32\\winusbcoinstaller2.dll"},
    {{"Qvtvcomdrv.inf", "Qvtvcomdrv.inf"}, "inf\\Qvtvcomdrv.inf"},
    {{"Qvtvcomdrv.cat", "Qvtvcomdrv.cat"}, "inf\\Qvtvcomdrv.cat"},
};

// The system's modem/serial driver pair for one Windows version: the modem
// setup information file, placed as mdmcpq.inf, and the USB serial driver,
// placed as usbser.sys. Never copied over an existing file.
struct SerialPair {
  KitFile inf;
  KitFile sys;
};
const SerialPair kWindows7Pair = {{"qvt512m2.006", "qvt512m.006"}, {"qvt512u2.006", "qvt512u.006"}};
const SerialPair kXpPair = {{"qvt512m.005", "qvt512m.005"}, {"qvt512u.005", "qvt512u.005"}};

// Copies with the result ignored. The bitness is asked afresh for every
// group of copies.
class Copier {
 public:
  explicit Copier(const std::string& kit_folder)
      : kit_folder_(kit_folder), bits64_(Is64BitWindows() != 0) {}
  void Copy(const KitFile& file, const std::string& target, bool overwrite) const {
    platform::CopyOneFile(kit_folder_ + (bits64_ ? file.bits64 : file.bits32), target, !overwrite);
  }

 private:
  const std::string& kit_folder_;
  const bool bits64_;
};

void CopyCommonSet(const std::string& kit_folder, const std::string& windows) {
  const Copier copier(kit_folder);
  for (const auto& row : kCommonRows) copier.Copy(row.source, windows + row.target, true);
}

// Into "inf\" and, the driver, also into "system32\drivers\".
void CopySerialPair(const SerialPair& pair, const std::string& kit_folder,
                    const std::string& windows) {
  const Copier copier(kit_folder);
  copier.Copy(pair.inf, windows + "inf\\mdmcpq.inf", false);
  copier.Copy(pair.sys, windows + "inf\\usbser.sys", false);
  copier.Copy(pair.sys, windows + "system32\\drivers\\usbser.sys", false);
}

void CopySerialPairToStore(const SerialPair& pair, const std::string& kit_folder,
                           const std::string& store) {
  const Copier copier(kit_folder);
  copier.Copy(pair.inf, store + "mdmcpq.inf", false);
  copier.Copy(pair.sys, store + "usbser.sys", false);
}

}  // namespace

int Is64BitWindows() { return platform::IsWow64() ? 1 : 0; }

void PlaceDriverFiles(const std::string& kit_folder) {
  std::string system;
  if (!platform::GetSystemFolder(&system)) return;
  const std::size_t slash = platform::LastSlash(system);
  const std::string windows = (slash == std::string::npos ? system : system.substr(0, slash)) + "\\";

  CopyCommonSet(kit_folder, windows);
  platform::WindowsVersion version;
  if (!platform::GetWindowsVersion(&version)) return;
  if (version.major == 6 && version.minor == 1) {
    CopySerialPair(kWindows7Pair, kit_folder, windows);
    std::string name;
    if (FindMdmcpqStoreFolder(windows + "inf\\setupapi.dev.log", &name)) {
      const std::string store = windows + "System32\\DriverStore\\FileRepository\\" + name + "\\";
      // Only a store folder that exists, and no link, held while written.
      platform::HeldFolder held;
      if (held.Open(store)) CopySerialPairToStore(kWindows7Pair, kit_folder, store);
    }
  } else if (version.major == 5 && version.minor == 1) {
    CopySerialPair(kXpPair, kit_folder, windows);
  }
}

std::vector<std::string> SerialKitFiles() {
  std::vector<std::string> names;
  auto add = [&names](const KitFile& file) {
    for (const char* name : {file.bits64, file.bits32})
      if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
  };
  for (const auto& row : kCommonRows) add(row.source);
  for (const SerialPair& pair : {kWindows7Pair, kXpPair}) {
    add(pair.inf);
    add(pair.sys);
  }
  return names;
}

}  // namespace ovsetup::drivers
