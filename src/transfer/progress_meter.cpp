#include "transfer/progress_meter.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "transfer/block_geometry.h"

namespace selvarex {

namespace {

// m:ss, or h:mm:ss from an hour on.
std::string Duration(double seconds) {
  const auto total = static_cast<long long>(std::llround(std::max(seconds, 0.0)));
  char text[32];
  if (total >= 3600) {
    std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", total / 3600, total / 60 % 60, total % 60);
  } else {
    std::snprintf(text, sizeof text, "%lld:%02lld", total / 60, total % 60);
  }
  return text;
}

std::string OneDecimal(double value, char decimalSeparator) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", value);
  std::string result(text);
  std::replace(result.begin(), result.end(), '.', decimalSeparator);
  return result;
}

}  // namespace

void ProgressMeter::SetRange(std::uint32_t maximum) {
  maximum_ = maximum;
  position_ = 0;
}

void ProgressMeter::StartRun() {
  lastFrameNs_ = clock_->NowNs();
  pauseNs_ = kFrameNs;
  CountCycles(0, RunUnit::Blocks);
}

void ProgressMeter::CountCycles(std::uint32_t cycles, RunUnit unit) {
  cycles_ = cycles;
  unit_ = unit;
  done_ = 0;
  doneAtMeasure_ = 0;
  measuredNs_ = clock_->NowNs();
  cyclesPerSecond_ = 0;
}

bool ProgressMeter::BlockDone() {
  position_ = std::min(position_ + 1, maximum_);
  ++done_;
  const std::int64_t now = clock_->NowNs();
  if (now - lastFrameNs_ < pauseNs_) return false;
  // The speed since the last frame, folded into the smoothed one.
  if (now > measuredNs_ && done_ > doneAtMeasure_) {
    const double measured = (done_ - doneAtMeasure_) * 1e9 / static_cast<double>(now - measuredNs_);
    cyclesPerSecond_ = cyclesPerSecond_ == 0 ? measured : cyclesPerSecond_ + kSmoothing * (measured - cyclesPerSecond_);
    doneAtMeasure_ = done_;
    measuredNs_ = now;
  }
  return true;
}

void ProgressMeter::FrameDrawn(std::int64_t startedNs) {
  lastFrameNs_ = clock_->NowNs();
  pauseNs_ = std::max(kFrameNs, kDrawShare * (lastFrameNs_ - startedNs));
}

std::string ProgressMeter::Text(char decimalSeparator) const {
  if (cyclesPerSecond_ == 0) return {};
  const std::uint64_t percent = maximum_ == 0 ? 0 : std::uint64_t{position_} * 100 / maximum_;
  const std::string speed = unit_ == RunUnit::Bytes
                                ? OneDecimal(cyclesPerSecond_ * nand::kBlockSize / 1e6, decimalSeparator) + " MB/s"
                                : OneDecimal(cyclesPerSecond_, decimalSeparator) + " blocks/s";
  const std::uint32_t left = cycles_ > done_ ? cycles_ - done_ : 0;
  return std::to_string(percent) + " % - " + speed + " - " + Duration(left / cyclesPerSecond_) + " left";
}

}  // namespace selvarex
