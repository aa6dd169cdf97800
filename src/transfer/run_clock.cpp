#include "transfer/run_clock.h"

#include <chrono>

namespace selvarex {

namespace {

class SteadyClock : public RunClock {
 public:
  std::int64_t NowNs() const override {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
  }
};

}  // namespace

const RunClock& SteadyRunClock() {
  static const SteadyClock clock;
  return clock;
}

}  // namespace selvarex
