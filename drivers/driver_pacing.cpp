#include "drivers/driver_pacing.h"

#include <cstdlib>

#include "platform/system_info.h"

namespace ovsetup::drivers {

unsigned CyclePauseMs(unsigned r, unsigned min_ms, unsigned max_ms) {
  return min_ms + r * (max_ms - min_ms) / 32767u;
}

unsigned DrawCyclePauseMs(unsigned min_ms, unsigned max_ms) {
  // The Windows C runtime's rand yields 0..32767; keep that range elsewhere.
  return CyclePauseMs(static_cast<unsigned>(std::rand()) & 0x7FFFu, min_ms, max_ms);
}

void StandardDriverPacing::CyclePause() {
  platform::SleepFor(DrawCyclePauseMs(kCyclePauseMinMs, kCyclePauseMaxMs));
}

}  // namespace ovsetup::drivers
