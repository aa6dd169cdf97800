#include "transfer/clock.h"

#include <ctime>

namespace selvarex {

namespace {

class LocalClock : public Clock {
 public:
  LocalTime Now() const override {
    const std::time_t now = std::time(nullptr);
    // Only the user-interface thread asks, so the shared result is safe.
    const std::tm* local = std::localtime(&now);
    if (local == nullptr) return LocalTime{1900, 1, 1, 0, 0, 0};
    return LocalTime{local->tm_year + 1900, local->tm_mon + 1, local->tm_mday,
                     local->tm_hour,        local->tm_min,     local->tm_sec};
  }
};

}  // namespace

const Clock& SystemClock() {
  static const LocalClock clock;
  return clock;
}

}  // namespace selvarex
