// What a block-wise process needs of the window around it.
#pragma once

#include <cstdint>

#include "transfer/progress_meter.h"

namespace selvarex {

class ProcessHost {
 public:
  virtual ~ProcessHost() = default;
  // The progress bar: minimum 0, this maximum, position 0.
  virtual void SetProgressRange(std::uint32_t maximum) = 0;
  // The run's cycles, right before the first; the speed is counted in unit.
  virtual void RunStarts(std::uint32_t cycles, RunUnit unit) = 0;
  // After every block: repaint the window, process pending messages, advance
  // the progress bar by one step, process pending messages again.
  virtual void BlockDone() = 0;
  // The operator closed the window: the process stops after the current block.
  virtual bool StopRequested() = 0;
};

}  // namespace selvarex
