// Places the serial-port driver kit's files into the Windows folders by
// Windows version and bitness.
#pragma once

#include <string>
#include <vector>

namespace ovsetup::drivers {

// Non-zero when the setup runs on 64-bit Windows.
int Is64BitWindows();

// Copies the kit files found in `kit_folder` (ending with "\", e.g. the
// scratch folder + "MXDriver\") into the Windows folder derived from the
// system folder: the co-installers and the virtual COM port package always;
// on Windows 7 (6.1) and XP (5.1) also the system's modem/serial driver pair,
// never over an existing file; on Windows 7 also into the driver-store
// folder named by inf\setupapi.dev.log. Every failure is silent: a failed
// system-folder lookup skips everything, a failed version query everything
// after the common rows.
void PlaceDriverFiles(const std::string& kit_folder);

// The names of the kit files PlaceDriverFiles copies on some Windows version
// and bitness, each once, in the order of its tables.
std::vector<std::string> SerialKitFiles();

}  // namespace ovsetup::drivers
