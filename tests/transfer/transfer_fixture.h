// Test support for the block-wise processes: the simulated programmer with
// flash 0 selected, a fixed clock, a recording window and file helpers.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <thread>

#include "support/connected_sim.h"
#include "transfer/block_geometry.h"
#include "transfer/image_file.h"
#include "transfer/operation_log.h"
#include "transfer/process_host.h"
#include "transfer/transfer_target.h"

namespace selvarex::test {

constexpr std::uint32_t B = nand::kBlockSize;
inline const std::vector<std::uint8_t> kErased(B, 0xFF);

// Returns the given times in turn, then the last one again.
struct FixedClock : Clock {
  explicit FixedClock(std::vector<LocalTime> t) : times(std::move(t)) {}
  LocalTime Now() const override { return times[std::min(next++, times.size() - 1)]; }
  std::vector<LocalTime> times;
  mutable std::size_t next = 0;
};

struct RecordingHost : ProcessHost {
  void SetProgressRange(std::uint32_t maximum) override { ranges.push_back(maximum); }
  void RunStarts(std::uint32_t cycles, RunUnit) override { runs.push_back(cycles); }
  void BlockDone() override {
    ++blocksDone;
    if (duringBlockDone) duringBlockDone();
  }
  bool StopRequested() override { return blocksDone == stopAfter; }
  std::vector<std::uint32_t> ranges;
  std::vector<std::uint32_t> runs;              // the cycles each run announced
  std::uint32_t blocksDone = 0, stopAfter = 0;  // 0: never stop
  std::function<void()> duringBlockDone;        // what the window's message pump runs
};

// Stands in for the disk during a run: every image file call waits until
// ready(its position) holds, the proof that the programmer or the window went
// on meanwhile, and the call at failAt fails. The wait is bounded only so a
// process that never goes on fails the test instead of hanging it.
class SlowDisk {
 public:
  explicit SlowDisk(std::function<bool(std::int64_t)> ready, std::int64_t failAt = -1) {
    SetImageFileSeam([this, ready = std::move(ready), failAt](ImageCall, std::int64_t position) {
      const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(60);
      while (!ready(position)) {
        if (std::chrono::steady_clock::now() > giveUp) {
          ++waitedInVain;
          break;
        }
        std::this_thread::sleep_for(std::chrono::microseconds(100));
      }
      return position != failAt;
    });
  }
  ~SlowDisk() { SetImageFileSeam({}); }
  SlowDisk(const SlowDisk&) = delete;
  SlowDisk& operator=(const SlowDisk&) = delete;
  std::atomic<int> waitedInVain{0};
};

// A file name as the operator's system writes it: "\" between folders on Windows.
inline std::string SystemWritten(std::string name) {
#ifdef _WIN32
  std::replace(name.begin(), name.end(), '/', '\\');
#endif
  return name;
}

inline std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// A log section of a run from 12/07/08 14:03:59 to 15:00:01; without an end text: aborted.
inline std::string Section(const std::string& start, const std::vector<std::string>& entries,
                           const std::string& end = "") {
  const std::string rule = std::string(72, '-') + "\r\n";
  std::string text = "\r\n" + rule + start + "12/07/08 (14:03:59)\r\n" + rule;
  for (const std::string& e : entries) text += "\r\n> " + e + "\r\n";
  return end.empty() ? text : text + "\r\n" + rule + end + "12/07/08 (15:00:01)\r\n" + rule;
}

class TransferTest : public ::testing::Test {
 protected:
  void SetUp() override {
    s.ConnectAndSelect(0);
    ASSERT_TRUE(s.programmer.HasFlash());
    s.sim->SimCtl_SetTiming(0);
    s.sim->SimCtl_ResetCounts();
  }
  TransferTarget Target() const { return TransferTarget{s.library, s.programmer.FlashHandle(), 0}; }
  std::string Path(const std::string& name) const { return (s.dir.path() / name).string(); }
  // A fresh log file for the next run, with the clock back at its start.
  void NewLog(const std::string& name) {
    settings.path = Path(name);
    clock.next = 0;
  }
  std::string Log() const { return ReadFile(settings.path); }
  std::uint32_t Calls(drav::Entry e) const { return s.sim->Calls(e); }
  std::vector<std::uint8_t> Chip(std::uint32_t block) const { return s.sim->ReadRaw(0, block * B, B); }
  void MarkBad(std::uint32_t block) const { s.sim->SimCtl_SetMarker(0, block, 0x00); }
  void EraseChip(std::uint32_t first, std::uint32_t end) const {
    for (std::uint32_t b = first; b < end; ++b) s.library.Api().DravFlashEraseSector(s.programmer.FlashHandle(), b * B);
    s.sim->SimCtl_ResetCounts();
  }
  // An image addressed like the chip: a pattern block at offset b * B for each
  // b in [first, end), marker 0 where listed bad; then cut or padded to length.
  std::vector<std::vector<std::uint8_t>> MakeImage(const std::string& path, std::uint32_t first, std::uint32_t end,
                                                   std::uint64_t length, std::vector<std::uint32_t> bad = {}) const {
    std::vector<std::vector<std::uint8_t>> blocks(end);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    for (std::uint32_t b = first; b < end; ++b) {
      blocks[b].resize(B);
      for (std::uint32_t i = 0; i < B; ++i) blocks[b][i] = static_cast<std::uint8_t>(i * 7 + b * 13 + 1);
      blocks[b][nand::kMarkerOffset] = std::count(bad.begin(), bad.end(), b) ? 0x00 : 0xFF;
      out.seekp(std::streamoff{b} * B).write(reinterpret_cast<const char*>(blocks[b].data()), B);
    }
    out.close();
    std::filesystem::resize_file(path, length);
    return blocks;
  }

  SimSession s;
  FixedClock clock{{{2008, 12, 7, 14, 3, 59}, {2008, 12, 7, 15, 0, 1}}};
  RecordingHost host;
  LogSettings settings{(s.dir.path() / "DravolinLog.txt").string(), &clock};
};

}  // namespace selvarex::test
