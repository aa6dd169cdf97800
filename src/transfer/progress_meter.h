// The progress of a block-wise run as the window's bar shows it: the position
// after every block, and when to draw it. Drawing a progress bar costs more
// than a fast block and cannot be seen that often, so the position is shown
// at most every 40 ms, and less often where drawing is slow: the pause after a
// drawing is at least 100 times what the drawing took, so drawing never costs
// more than about 1 % of the run.
#pragma once

#include <cstdint>

#include "transfer/run_clock.h"

namespace selvarex {

class ProgressMeter {
 public:
  static constexpr std::int64_t kFrameNs = 40'000'000;
  static constexpr std::int64_t kDrawShare = 100;

  explicit ProgressMeter(const RunClock& clock = SteadyRunClock()) : clock_(&clock) {}
  void SetClock(const RunClock& clock) { clock_ = &clock; }

  // The bar's range; the position goes back to 0.
  void SetRange(std::uint32_t maximum);
  void Rewind() { position_ = 0; }
  // A run starts: its first frame is one pause away.
  void StartRun();
  // One block is done: the position advances (past the maximum the bar stays
  // full). True when it is time to show it.
  bool BlockDone();
  // Around a drawing: FrameStarts() before it, FrameDrawn() with its value after.
  std::int64_t FrameStarts() const { return clock_->NowNs(); }
  void FrameDrawn(std::int64_t startedNs);

  std::uint32_t Position() const { return position_; }
  std::uint32_t Maximum() const { return maximum_; }

 private:
  const RunClock* clock_;
  std::uint32_t maximum_ = 0;
  std::uint32_t position_ = 0;
  std::int64_t lastFrameNs_ = 0;
  std::int64_t pauseNs_ = kFrameNs;
};

}  // namespace selvarex
