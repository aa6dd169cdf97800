// The device time the simulated programmer has spent, and, with realistic
// timing, the waiting that makes a call take as long as on the real one.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>

#include "published_clock.h"

namespace sim {

class DeviceClock {
 public:
  void Add(std::uint64_t ns) {
    totalNs_ += ns;
    if (published_ != nullptr) published_->deviceNs += ns;
  }
  std::uint64_t TotalNs() const { return totalNs_; }
  // Wall time from entry to return of every call, waiting included; added
  // after the model's lock is released, hence atomic.
  void AddInCalls(std::uint64_t ns) {
    inCallsNs_ += ns;
    if (published_ != nullptr) published_->inCallsNs += ns;
  }
  std::uint64_t InCallsNs() const { return inCallsNs_; }
  void ResetTotal() {
    totalNs_ = 0;
    inCallsNs_ = 0;
  }

  bool realistic = false;

 private:
  PublishedClock* published_ = PublishedClockFromEnvironment();
  std::uint64_t totalNs_ = 0;
  std::atomic<std::uint64_t> inCallsNs_{0};
};

// DRAVOLIN_SIM_TIMING=realistic
bool RealisticTimingFromEnvironment();

// Returns at the deadline, not much later: sleeps until shortly before it, as
// sleeps overshoot, then spins.
void WaitUntil(std::chrono::steady_clock::time_point deadline);

}  // namespace sim
