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

// One cycle's pause in milliseconds: CyclePauseMs of a fresh draw of the C
// runtime's rand (never seeded). The caller waits it out its own way (the
// windows handle their messages meanwhile).
unsigned DrawCyclePauseMs(unsigned min_ms, unsigned max_ms);

// The pacing without windows: 22 steps, a 250..350 ms sleep per cycle.
class StandardDriverPacing : public DriverRunPacing {
 public:
  std::uint32_t GetStepCount() override { return kDriverSteps; }
  void CyclePause() override;
};

}  // namespace ovsetup::drivers
