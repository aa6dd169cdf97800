// The device clock's two totals, published where another process can read
// them: the benchmark times the simulator inside the library host, out of
// reach of the control interface. DRAVOLIN_SIM_CLOCK_FILE names a file of
// two 64-bit counters (device time, time inside calls, in ns) that only grow;
// a reader takes the difference over a run.
#pragma once

#include <atomic>
#include <cstdint>

namespace sim {

struct PublishedClock {
  std::atomic<std::uint64_t> deviceNs;
  std::atomic<std::uint64_t> inCallsNs;
};

// Null when the variable is unset or the file cannot be mapped (and always on
// Windows, where nothing reads it).
PublishedClock* PublishedClockFromEnvironment();

}  // namespace sim
