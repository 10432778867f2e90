// Install type 1: the macro for CorelDRAW.
#pragma once

#include "install/install_job.h"

namespace ovsetup::install {

// One CorelDRAW version the path dialog offers, in the combo's order.
struct CorelVersion {
  const char* combo_text;
  const char* keys[2];       // HKLM keys holding "Destination", tried in order; unused: null
  const char* programs;      // "Programs" (32-bit) or "Programs64"
  const char* source_macro;  // installed as "QVTCorel.gms"
};

constexpr int kCorelVersionCount = 9;
extern const CorelVersion CorelVersionTable[kCorelVersionCount];

// Finds CorelDRAW through the registry (auto) or takes its folder from the
// user (manual), extracts the payload beside its programs, installs the
// row's macro as Draw\GMS\QVTCorel.gms, and copies the settings folders.
// Fails with PathError (manual: no Programs folder, or an empty path),
// CorelNotFound (auto: no key), UntrustedLink (nothing written: the
// programs folder, Draw\, Draw\GMS\ or a settings folder below the programs
// is a link a user without rights could have laid) or CloseCorel
// (extraction).
void InstallCorelMacro(const JobContext& job);

}  // namespace ovsetup::install
