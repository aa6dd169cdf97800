// One clock for the benchmark runner and the processes it starts: the
// system's monotonic clock, in nanoseconds.
#pragma once

#include <chrono>
#include <cstdint>

namespace selvarex::bench {

inline std::int64_t MonotonicNs() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

}  // namespace selvarex::bench
