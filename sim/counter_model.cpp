#include "counter_model.h"

namespace sim {

const std::vector<SimCounterPoll>& CounterModel::DefaultMeasurement() {
  static const std::vector<SimCounterPoll> polls = {
      {1, 8012, 0, 0},
      {1, 16025, 0, 0},
      {0, 24038, 0x5A, 0},
  };
  return polls;
}

CounterModel::CounterModel() : script_(DefaultMeasurement()) {}

void CounterModel::Reset() {
  running_.clear();
  next_ = 0;
}

void CounterModel::Start() {
  running_ = script_;
  next_ = 0;
}

SimCounterPoll CounterModel::Poll() {
  if (running_.empty()) return SimCounterPoll{0, 0, 0, 0};
  const SimCounterPoll poll = running_[next_];
  // The last poll repeats.
  if (next_ + 1 < running_.size()) ++next_;
  return poll;
}

void CounterModel::Script(std::vector<SimCounterPoll> polls) {
  script_ = polls.empty() ? DefaultMeasurement() : std::move(polls);
}

}  // namespace sim
