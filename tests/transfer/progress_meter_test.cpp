// The progress meter against a clock the test moves: when the bar is drawn,
// and the speed and time left it shows.
#include <gtest/gtest.h>

#include "transfer/progress_meter.h"

namespace selvarex {
namespace {

struct SteppedClock : RunClock {
  std::int64_t NowNs() const override { return now; }
  std::int64_t now = 0;
};

constexpr std::int64_t kMs = 1'000'000;

// Blocks that each take the given time; the texts of the frames drawn.
std::vector<std::string> FramesOf(ProgressMeter& meter, SteppedClock& clock, const std::vector<std::int64_t>& blockMs,
                                  char separator = '.') {
  std::vector<std::string> frames;
  for (const std::int64_t ms : blockMs) {
    clock.now += ms * kMs;
    if (meter.BlockDone()) {
      frames.push_back(meter.Text(separator));
      meter.FrameDrawn(meter.FrameStarts());
    }
  }
  return frames;
}

TEST(ProgressMeter, SpeedAndTimeLeftFromTheRunsOwnBlocksSmoothed) {
  SteppedClock clock;
  ProgressMeter meter(clock);
  meter.SetRange(1024);
  meter.StartRun();
  meter.CountCycles(1024, RunUnit::Bytes);
  EXPECT_EQ(meter.Text('.'), "") << "no figures before the first frame";
  // Four blocks of 10 ms: 100 blocks of 135168 bytes a second; then blocks of
  // 20 ms: the first frame after them shows 100 + 0.3 x (50 - 100) blocks/s.
  EXPECT_EQ(FramesOf(meter, clock, {10, 10, 10, 10, 20, 20}),
            (std::vector<std::string>{"0 % - 13.5 MB/s - 0:10 left", "0 % - 11.5 MB/s - 0:12 left"}));
  EXPECT_EQ(meter.Position(), 6u);

  // An erase of 31775 blocks at one block a second; a German separator.
  meter.SetRange(1024);
  meter.StartRun();
  meter.CountCycles(31775, RunUnit::Blocks);
  EXPECT_EQ(FramesOf(meter, clock, std::vector<std::int64_t>(1030, 1000), ',').back(),
            "100 % - 1,0 blocks/s - 8:32:25 left")
      << "past the range the bar stays full";
}

TEST(ProgressMeter, DrawsEvery40MsAndLessOftenWhenDrawingIsSlow) {
  SteppedClock clock;
  ProgressMeter meter(clock);
  meter.SetRange(100);
  meter.StartRun();
  meter.CountCycles(100, RunUnit::Blocks);
  std::vector<std::uint32_t> drawn;
  for (int block = 0; block < 30; ++block) {
    clock.now += 5 * kMs;
    if (!meter.BlockDone()) continue;
    drawn.push_back(meter.Position());
    const std::int64_t started = meter.FrameStarts();
    // The first drawing costs a kDrawShare-th of 100 ms: a 100 ms pause.
    clock.now += drawn.size() == 1 ? 100 * kMs / ProgressMeter::kDrawShare : 0;
    meter.FrameDrawn(started);
  }
  EXPECT_EQ(drawn, (std::vector<std::uint32_t>{8, 28}));
}

}  // namespace
}  // namespace selvarex
