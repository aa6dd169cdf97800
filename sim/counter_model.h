// The programmer's PostBus counter: a measurement runs from a start until it
// stops; every poll tells whether it still runs and what it counted.
#pragma once

#include <cstdint>
#include <vector>

#include "sim/sim_control.h"

namespace sim {

class CounterModel {
 public:
  // The measurement a start runs when no script replaces it: two polls while
  // running, then 24038 ticks with the value 0x5A.
  static const std::vector<SimCounterPoll>& DefaultMeasurement();

  CounterModel();
  // Back to "never started": every poll reads zeros.
  void Reset();
  void Start();
  SimCounterPoll Poll();
  // The polls of every measurement started from now on; empty = the default.
  void Script(std::vector<SimCounterPoll> polls);

 private:
  std::vector<SimCounterPoll> script_;
  std::vector<SimCounterPoll> running_;  // empty before a start
  std::size_t next_ = 0;
};

}  // namespace sim
