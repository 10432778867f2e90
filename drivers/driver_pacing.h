// The welcome window's pacing of the driver run: how many wait cycles fill
// the bar, and the pause after each cycle.
#pragma once

#include <cstdint>

#include "drivers/driver_run.h"

namespace ovsetup::drivers {

constexpr std::uint32_t kDriverSteps = 22;
constexpr unsigned kCyclePauseMaxMs = 350;
constexpr unsigned kCyclePauseMinMs = 250;

// The pause for a draw `r` of rand (0..32767): min + r * (max - min) / 32767
// in unsigned arithmetic, so 250..350 ms, 350 only for r = 32767.
unsigned CyclePauseMs(unsigned r, unsigned min_ms, unsigned max_ms);

// Busy-waits `pause_ms` on the tick count, re-reading it only every 16385
// spins; neither sleeps nor dispatches messages. 0 returns at once.
void BusyWait(unsigned pause_ms);

// One cycle's pause: a fresh draw of the C runtime's rand (never seeded).
void DriverCyclePause(unsigned min_ms, unsigned max_ms);

// The welcome window's pacing: 22 steps, a 250..350 ms busy pause per cycle.
class StandardDriverPacing : public DriverRunPacing {
 public:
  std::uint32_t GetStepCount() override { return kDriverSteps; }
  void CyclePause() override { DriverCyclePause(kCyclePauseMinMs, kCyclePauseMaxMs); }
};

}  // namespace ovsetup::drivers
