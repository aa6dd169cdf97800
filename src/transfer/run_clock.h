// The monotonic clock that times a run's blocks for the progress display,
// replaceable in tests.
#pragma once

#include <cstdint>

namespace selvarex {

class RunClock {
 public:
  virtual ~RunClock() = default;
  // Nanoseconds since an arbitrary start; never goes back.
  virtual std::int64_t NowNs() const = 0;
};

// The system's steady clock.
const RunClock& SteadyRunClock();

}  // namespace selvarex
