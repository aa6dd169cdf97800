// The progress of a block-wise run as the window's bar shows it: the position
// after every block, when to draw it, and the run's speed and time left.
//
// Drawing a progress bar costs more than a fast block and cannot be seen that
// often, so the position is shown at most every 40 ms, and less often where
// drawing is slow: the pause after a drawing is at least 500 times what the
// drawing took, so drawing never costs more than about 0.2 % of the run (a
// frame of the bar with its figures took 0.7 ms here between realistic
// erase blocks: a few frames a second). The
// speed is measured between two drawings from the blocks done in between and
// smoothed, so one slow block does not make the figures jump; per block the
// meter only counts and reads the clock.
#pragma once

#include <cstdint>
#include <string>

#include "transfer/run_clock.h"

namespace selvarex {

// What a run's speed is counted in: the bytes of its blocks (read and write,
// shown in MB/s of 1000000 bytes) or its blocks (erase, in blocks/s).
enum class RunUnit { Bytes, Blocks };

class ProgressMeter {
 public:
  static constexpr std::int64_t kFrameNs = 40'000'000;
  // A frame waits at least kDrawShare times what the last one cost, so
  // drawing takes at most 0.2 % of a run.
  static constexpr std::int64_t kDrawShare = 500;
  // Weight of the newest measurement in the smoothed speed.
  static constexpr double kSmoothing = 0.3;

  explicit ProgressMeter(const RunClock& clock = SteadyRunClock()) : clock_(&clock) {}
  void SetClock(const RunClock& clock) { clock_ = &clock; }

  // The bar's range; the position goes back to 0.
  void SetRange(std::uint32_t maximum);
  void Rewind() { position_ = 0; }
  // A run starts: its first frame is one pause away; no figures yet.
  void StartRun();
  // The run's cycles (which may differ from the bar's range), each one block.
  void CountCycles(std::uint32_t cycles, RunUnit unit);
  // One block is done: the position advances (past the maximum the bar stays
  // full). True when it is time to show it; the figures are then up to date.
  bool BlockDone();
  // Around a drawing: FrameStarts() before it, FrameDrawn() with its value after.
  std::int64_t FrameStarts() const { return clock_->NowNs(); }
  void FrameDrawn(std::int64_t startedNs);

  std::uint32_t Position() const { return position_; }
  std::uint32_t Maximum() const { return maximum_; }
  // "37 % - 12.4 MB/s - 0:41 left" ("blocks/s" for blocks); empty until the
  // run has a speed.
  std::string Text(char decimalSeparator) const;

 private:
  const RunClock* clock_;
  std::uint32_t maximum_ = 0;
  std::uint32_t position_ = 0;
  std::int64_t lastFrameNs_ = 0;
  std::int64_t pauseNs_ = kFrameNs;

  std::uint32_t cycles_ = 0;
  std::uint32_t done_ = 0;
  RunUnit unit_ = RunUnit::Blocks;
  std::uint32_t doneAtMeasure_ = 0;
  std::int64_t measuredNs_ = 0;
  double cyclesPerSecond_ = 0;  // smoothed; 0 = not measured yet
};

}  // namespace selvarex
