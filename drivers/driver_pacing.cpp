#include "drivers/driver_pacing.h"

#include <cstdlib>

#include "platform/system_info.h"

namespace ovsetup::drivers {

unsigned CyclePauseMs(unsigned r, unsigned min_ms, unsigned max_ms) {
  return min_ms + r * (max_ms - min_ms) / 32767u;
}

void BusyWait(unsigned pause_ms) {
  const std::uint32_t start = platform::TickCount();
  std::uint32_t last = start;
  volatile unsigned spins = 0;  // the spin itself is the point; keep it
  while (last - start < pause_ms) {
    if (++spins == 16385) {
      spins = 0;
      last = platform::TickCount();
    }
  }
}

void DriverCyclePause(unsigned min_ms, unsigned max_ms) {
  // The Windows C runtime's rand yields 0..32767; keep that range elsewhere.
  BusyWait(CyclePauseMs(static_cast<unsigned>(std::rand()) & 0x7FFFu, min_ms, max_ms));
}

}  // namespace ovsetup::drivers
