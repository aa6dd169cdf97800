#include "transfer/progress_meter.h"

#include <algorithm>

namespace selvarex {

void ProgressMeter::SetRange(std::uint32_t maximum) {
  maximum_ = maximum;
  position_ = 0;
}

void ProgressMeter::StartRun() {
  lastFrameNs_ = clock_->NowNs();
  pauseNs_ = kFrameNs;
}

bool ProgressMeter::BlockDone() {
  position_ = std::min(position_ + 1, maximum_);
  return clock_->NowNs() - lastFrameNs_ >= pauseNs_;
}

void ProgressMeter::FrameDrawn(std::int64_t startedNs) {
  lastFrameNs_ = clock_->NowNs();
  pauseNs_ = std::max(kFrameNs, kDrawShare * (lastFrameNs_ - startedNs));
}

}  // namespace selvarex
