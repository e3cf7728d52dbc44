// The clock that bounds how long a picture waits for room in the printer's receive buffer. Tests
// put a clock of their own in its place, so that a wait of seconds passes at once.
#ifndef TALLYJET_RASTER_PACING_H
#define TALLYJET_RASTER_PACING_H

#include <chrono>

namespace escpos {

using PacingClock = std::chrono::steady_clock::time_point (*)();

// Makes clock the time source of the wait for room; null restores the steady clock.
void SetPacingClock(PacingClock clock);

}  // namespace escpos

#endif  // TALLYJET_RASTER_PACING_H
