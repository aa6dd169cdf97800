// What a block-wise process needs of the window around it.
#pragma once

#include <cstdint>

namespace selvarex {

class ProcessHost {
 public:
  virtual ~ProcessHost() = default;
  // The progress bar: minimum 0, this maximum, position 0.
  virtual void SetProgressRange(std::uint32_t maximum) = 0;
  // After every block: repaint the window, process pending messages, advance
  // the progress bar by one step, process pending messages again.
  virtual void BlockDone() = 0;
  // The operator closed the window: the process stops after the current block.
  virtual bool StopRequested() = 0;
};

}  // namespace selvarex
