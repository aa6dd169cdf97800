// The three block-wise processes run through the main window against a
// baseline that makes the same library calls and file transfers with no
// window, log or progress; the same runs with the simulator's realistic
// timing against the device time it simulated; the window's own cost per
// block.
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "bench_sections.h"
#include "bench_window.h"
#include "device/nand_geometry.h"
#include "probe_clock.h"
#include "transfer/dump_reading.h"
#include "transfer/dump_writing.h"
#include "transfer/sector_erase.h"

namespace selvarex::bench {

namespace {

constexpr std::uint32_t kBlock = nand::kBlockSize;
constexpr std::uint32_t kBlocks = 1024;
constexpr int kRounds = 5;
constexpr int kCommandRounds = 31;

struct Device {
  const drav::EntryTable& api;
  drav::Handle flash;
};

bool Good(std::uint32_t index, std::uint8_t marker) {
  return marker == nand::kGoodMarker || index == nand::kExemptBlock;
}

double BaselineRead(const Device& d, std::uint32_t blocks, const std::string& file) {
  const std::int64_t start = MonotonicNs();
  std::FILE* out = std::fopen(file.c_str(), "wb");
  std::vector<std::uint8_t> block(kBlock);
  for (std::uint32_t b = 0; b < blocks; ++b) {
    d.api.DravFlashRead(d.flash, b * kBlock, block.data(), kBlock);
    std::fwrite(block.data(), 1, kBlock, out);
  }
  std::fclose(out);
  return SecondsSince(start);
}

double BaselineWrite(const Device& d, std::uint32_t blocks, const std::string& file) {
  const std::int64_t start = MonotonicNs();
  std::FILE* in = std::fopen(file.c_str(), "rb");
  std::vector<std::uint8_t> block(kBlock);
  d.api.DravFlashSetWVerify(d.flash, 1);
  for (std::uint32_t b = 0; b < blocks; ++b) {
    std::uint8_t marker = 0;
    d.api.DravFlashRead(d.flash, b * kBlock + nand::kMarkerOffset, &marker, 1);
    if (!Good(b, marker)) continue;
    std::fseek(in, static_cast<long>(b) * kBlock, SEEK_SET);
    if (std::fread(block.data(), 1, kBlock, in) != kBlock) break;
    if (Good(b, block[nand::kMarkerOffset])) d.api.DravFlashWrite(d.flash, b * kBlock, block.data(), kBlock);
  }
  std::fclose(in);
  return SecondsSince(start);
}

double BaselineErase(const Device& d, std::uint32_t blocks) {
  const std::int64_t start = MonotonicNs();
  d.api.DravFlashSetWVerify(d.flash, 1);
  for (std::uint32_t b = 0; b < blocks; ++b) {
    std::uint8_t marker = 0;
    d.api.DravFlashRead(d.flash, b * kBlock + nand::kMarkerOffset, &marker, 1);
    if (Good(b, marker)) d.api.DravFlashEraseSector(d.flash, b * kBlock);
  }
  return SecondsSince(start);
}

// Erases the chip but its factory bad blocks, so that writes verify.
void EraseAll(const Device& d) { d.api.DravFlashEraseAll(d.flash); }

Device DeviceOf(BenchWindow& w) { return Device{w.window->Library().Api(), w.window->Connection().FlashHandle()}; }

// A process with nothing around it: no progress, no messages, no stop.
struct NoWindow : ProcessHost {
  void SetProgressRange(std::uint32_t) override {}
  void RunStarts(std::uint32_t, RunUnit) override {}
  void BlockDone() override {}
  bool StopRequested() override { return false; }
};

// The process itself, as the window runs it, without the window.
double ProcessAlone(BenchWindow& w, ActionId command, std::uint32_t blocks, const std::string& file) {
  const TransferTarget target{w.window->Library(), w.window->Connection().FlashHandle(), 0};
  NoWindow host;
  LogSettings log;
  log.path = w.Path("process-alone-log.txt");
  const std::int32_t bytes = static_cast<std::int32_t>(std::int64_t{blocks} * kBlock);
  const std::int64_t start = MonotonicNs();
  switch (command) {
    case ActionId::actFlashRead: RunDumpReading(target, DumpReadingParams{0, bytes, file}, host, log); break;
    case ActionId::actFlashProgram: RunDumpWriting(target, DumpWritingParams{0, bytes, file, true}, host, log); break;
    default: RunSectorErase(target, SectorEraseParams{0, static_cast<std::int32_t>(blocks), true}, host, log); break;
  }
  return SecondsSince(start);
}

}  // namespace

void BenchTransfer(Report& report) {
  BenchWindow w;
  const Device d = DeviceOf(w);
  const std::string image = w.Path("image.bin");
  const std::string baselineImage = w.Path("baseline.bin");
  const std::string dumped = w.Path("dumped.bin");
  w.sim->SimCtl_SetTiming(0);

  // One command through the window and its baseline, for a run of a given
  // length.
  struct Timing {
    double window;
    double baseline;
  };
  auto runOnce = [&](ActionId command, std::uint32_t blocks) {
    const std::int64_t bytes = std::int64_t{blocks} * kBlock;
    Timing t{};
    switch (command) {
      case ActionId::actFlashRead:
        // Fresh files: replacing a long image costs the file system more
        // than writing a new one, and that belongs to neither side.
        std::filesystem::remove(dumped);
        std::filesystem::remove(baselineImage);
        t.window = w.Run(command, 0, bytes, dumped);
        t.baseline = BaselineRead(d, blocks, baselineImage);
        break;
      case ActionId::actFlashProgram:
        EraseAll(d);
        t.window = w.Run(command, 0, bytes, image);
        EraseAll(d);
        t.baseline = BaselineWrite(d, blocks, image);
        break;
      default:
        t.window = w.Run(command, 0, blocks);
        t.baseline = BaselineErase(d, blocks);
        break;
    }
    return t;
  };
  // Medians of both.
  auto measure = [&](ActionId command, std::uint32_t blocks) {
    std::vector<double> windowRuns, baselineRuns;
    for (int round = 0; round < kRounds; ++round) {
      const Timing t = runOnce(command, blocks);
      windowRuns.push_back(t.window);
      baselineRuns.push_back(t.baseline);
    }
    return Timing{Median(windowRuns), Median(baselineRuns)};
  };
  // What a command costs beyond its library calls and file transfers, whatever
  // its length: a run of one block against its own baseline, the median of
  // many, since a single run is a few milliseconds on a shared machine.
  auto costPerCommand = [&](ActionId command) {
    std::vector<double> added;
    for (int round = 0; round < kCommandRounds; ++round) {
      const Timing t = runOnce(command, 1);
      added.push_back(t.window - t.baseline);
    }
    return Median(added) * 1e3;
  };

  w.Run(ActionId::actFlashRead, 0, std::int64_t{kBlocks} * kBlock, image);  // the image to write back
  const struct {
    const char* name;
    ActionId command;
  } processes[] = {{"dump reading", ActionId::actFlashRead},
                   {"dump writing", ActionId::actFlashProgram},
                   {"sector erase", ActionId::actFlashEraseSector}};
  std::vector<double> fullWindowRuns;
  for (const auto& p : processes) {
    const Timing shortRun = measure(p.command, 64);
    const Timing midRun = measure(p.command, 256);
    const Timing fullRun = measure(p.command, kBlocks);
    fullWindowRuns.push_back(fullRun.window);
    const std::string name = p.name;
    // An erase at zero latency is a few milliseconds of fixed cost over almost
    // nothing; its cost per command below is the figure that tells.
    if (p.command != ActionId::actFlashEraseSector)
      report.Add({name + ", 1024 blocks, zero latency", fullRun.window, fullRun.baseline, "s", "<= 1.10 x baseline"});
    // What the window adds beyond the baseline per block: the slope between
    // two run lengths.
    auto added = [](const Timing& t) { return t.window - t.baseline; };
    const double early = (added(midRun) - added(shortRun)) * 1e6 / (256 - 64);
    const double late = (added(fullRun) - added(midRun)) * 1e6 / (kBlocks - 256);
    report.Add({name + ": window cost per block, blocks 256-1024", late, early, "us", "baseline: blocks 64-256"});
    report.Add({name + ": cost per command (a run of one block)", costPerCommand(p.command), 0, "ms", "<= 10 ms"});
  }
  // The same whole runs with the library in its host, against the runs above.
  BenchWindow h(true);
  const Device hd = DeviceOf(h);
  const std::string hostDumped = h.Path("dumped.bin");
  for (std::size_t i = 0; i < std::size(processes); ++i) {
    std::vector<double> runs;
    const std::int64_t bytes = std::int64_t{kBlocks} * kBlock;
    for (int round = 0; round < kRounds; ++round) {
      switch (processes[i].command) {
        case ActionId::actFlashRead:
          std::filesystem::remove(hostDumped);
          runs.push_back(h.Run(processes[i].command, 0, bytes, hostDumped));
          break;
        case ActionId::actFlashProgram:
          EraseAll(hd);
          runs.push_back(h.Run(processes[i].command, 0, bytes, image));
          break;
        default: runs.push_back(h.Run(processes[i].command, 0, kBlocks)); break;
      }
    }
    const double hostRun = Median(runs);
    const std::string name = processes[i].name;
    report.Add({name + ", 1024 blocks, zero latency, through the host", hostRun, fullWindowRuns[i], "s",
                "(baseline: in process)"});
    report.Add({name + ": the host's cost per block", (hostRun - fullWindowRuns[i]) * 1e6 / kBlocks, 0, "us", "-"});
  }
  report.Note(
      "Zero latency: the simulated programmer answers at once, so the baselines are the library calls and\n"
      "file transfers of the run alone (the same calls, no window, log or progress). The window cost per\n"
      "block is the slope of (command - baseline) between two run lengths; equal slopes mean the cost does\n"
      "not grow with the block count. The cost per command is the median of (command - baseline) over 31\n"
      "runs of one block: the parameter dialog with its file dialog, the log frame, the first frame of the\n"
      "window and the closing message.");
}

// The totals the simulator inside the host publishes: device time and time
// inside the calls, in seconds.
class HostClock {
 public:
  struct Totals {
    double device = 0;
    double inCalls = 0;
  };
  explicit HostClock(std::string path) : path_(std::move(path)) {}
  Totals Read() const {
    std::ifstream file(path_, std::ios::binary);
    std::uint64_t ns[2] = {0, 0};
    if (!file.read(reinterpret_cast<char*>(ns), sizeof ns))
      throw std::runtime_error("the host's simulator published no clock in " + path_);
    return Totals{static_cast<double>(ns[0]) / 1e9, static_cast<double>(ns[1]) / 1e9};
  }

 private:
  std::string path_;
};

void BenchRealisticTiming(Report& report, const std::string& only) {
  BenchWindow w;
  const Device d = DeviceOf(w);
  const std::string image = w.Path("image.bin");
  w.sim->SimCtl_SetTiming(0);
  w.Run(ActionId::actFlashRead, 0, std::int64_t{kBlocks} * kBlock, image);  // the image to write back
  EraseAll(d);
  w.sim->SimCtl_SetTiming(1);
  // The same window with the library, and the simulator, in its host, which
  // takes realistic timing from its environment.
  qputenv("DRAVOLIN_SIM_TIMING", "realistic");
  const std::string hostClockFile = w.Path("host-clock.bin");
  qputenv("DRAVOLIN_SIM_CLOCK_FILE", QByteArray::fromStdString(hostClockFile));
  BenchWindow h(true);
  qunsetenv("DRAVOLIN_SIM_CLOCK_FILE");
  qunsetenv("DRAVOLIN_SIM_TIMING");
  const HostClock hostClock{hostClockFile};
  const Device hd = DeviceOf(h);

  const std::string image2 = w.Path("image-baseline.bin");
  struct Case {
    const char* name;
    ActionId command;
    std::int64_t second;
    bool withFile;
    std::function<void()> baseline;
  };
  const Case cases[] = {
      {"dump reading", ActionId::actFlashRead, std::int64_t{kBlocks} * kBlock, true,
       [&] { BaselineRead(d, kBlocks, image2); }},
      {"dump writing", ActionId::actFlashProgram, std::int64_t{kBlocks} * kBlock, true,
       [&] {
         w.sim->SimCtl_SetTiming(0);
         EraseAll(d);
         w.sim->SimCtl_SetTiming(1);
         w.sim->SimCtl_ResetCounts();
         BaselineWrite(d, kBlocks, image);
       }},
      {"sector erase", ActionId::actFlashEraseSector, kBlocks, false, [&] { BaselineErase(d, kBlocks); }},
  };
  // Alternating rounds, medians: a shared machine's slow phases hit both.
  for (const Case& c : cases) {
    if (std::string_view(c.name).find(only) == std::string_view::npos) continue;
    std::vector<double> windowRuns, windowDevice, windowInCalls, ownTime, aloneOwnTime, bareRuns, bareDevice, hostRuns,
        hostOwnTime, hostAloneOwnTime;
    // Erase runs are short, so a few more of them cost little; their host
    // ratios spread over 1.011-1.026 from one run of three rounds to the next.
    const int rounds = c.command == ActionId::actFlashProgram ? 2 : c.command == ActionId::actFlashEraseSector ? 5 : 3;
    for (int round = 0; round < rounds; ++round) {
      if (c.command == ActionId::actFlashProgram) {
        w.sim->SimCtl_SetTiming(0);
        EraseAll(d);
        w.sim->SimCtl_SetTiming(1);
      }
      w.sim->SimCtl_ResetCounts();
      const double run = w.Run(c.command, 0, c.second, c.withFile ? image : std::string());
      const double device = static_cast<double>(w.sim->SimCtl_SimulatedTimeNs()) / 1e9;
      const double inCalls = static_cast<double>(w.sim->SimCtl_TimeInCallsNs()) / 1e9;
      windowRuns.push_back(run);
      windowDevice.push_back(device);
      windowInCalls.push_back(inCalls);
      // What the run would take if every call lasted exactly its device time.
      ownTime.push_back(device + (run - inCalls));
      // The process with no window around it.
      if (c.command == ActionId::actFlashProgram) {
        w.sim->SimCtl_SetTiming(0);
        EraseAll(d);
        w.sim->SimCtl_SetTiming(1);
      }
      w.sim->SimCtl_ResetCounts();
      const std::string& file = c.command == ActionId::actFlashRead ? image2 : image;
      const double alone = ProcessAlone(w, c.command, kBlocks, c.withFile ? file : std::string());
      aloneOwnTime.push_back(static_cast<double>(w.sim->SimCtl_SimulatedTimeNs()) / 1e9 +
                             (alone - static_cast<double>(w.sim->SimCtl_TimeInCallsNs()) / 1e9));
      // The same calls, one after the other, by hand.
      w.sim->SimCtl_ResetCounts();
      const std::int64_t start = MonotonicNs();
      c.baseline();
      bareRuns.push_back(SecondsSince(start));
      bareDevice.push_back(static_cast<double>(w.sim->SimCtl_SimulatedTimeNs()) / 1e9);
      // Through the host: the same calls, so the same device time.
      if (c.command == ActionId::actFlashProgram) EraseAll(hd);
      const HostClock::Totals before = hostClock.Read();
      const double hostRun = h.Run(c.command, 0, c.second, c.withFile ? h.Path("image.bin") : std::string());
      const HostClock::Totals after = hostClock.Read();
      hostRuns.push_back(hostRun);
      hostOwnTime.push_back(device + (hostRun - (after.inCalls - before.inCalls)));
      if (std::abs(after.device - before.device - device) > 1e-3 * device)
        throw std::runtime_error("the host's simulator counted other device time than the run in process");
      // The process alone through the host.
      if (c.command == ActionId::actFlashProgram) EraseAll(hd);
      const std::string hostFile = h.Path(c.command == ActionId::actFlashRead ? "alone.bin" : "image.bin");
      const HostClock::Totals aloneBefore = hostClock.Read();
      const double hostAlone = ProcessAlone(h, c.command, kBlocks, c.withFile ? hostFile : std::string());
      const HostClock::Totals aloneAfter = hostClock.Read();
      hostAloneOwnTime.push_back(aloneAfter.device - aloneBefore.device +
                                 (hostAlone - (aloneAfter.inCalls - aloneBefore.inCalls)));
    }
    const std::string name = c.name;
    const double device = Median(windowDevice);
    report.Add({name + ", 1024 blocks, realistic timing", Median(windowRuns), device, "s", "<= 1.02 x device time"});
    report.Add(
        {name + ": device time + the program's own time", Median(ownTime), device, "s", "<= 1.02 x device time"});
    report.Add({name + ": the process alone, no window: device time + own time", Median(aloneOwnTime), device, "s",
                "<= 1.01 x device time"});
    report.Add({name + ": time inside the library calls", Median(windowInCalls), device, "s", "(simulator's waiting)"});
    report.Add({name + ": the same calls and file one after the other", Median(bareRuns), Median(bareDevice), "s",
                "(for comparison)"});
    report.Add({name + ", through the host, realistic timing", Median(hostRuns), device, "s", "<= 1.02 x device time"});
    report.Add({name + ": through the host, device time + own time", Median(hostOwnTime), device, "s",
                "<= 1.02 x device time"});
    report.Add({name + ": through the host, the process alone: device time + own time", Median(hostAloneOwnTime),
                device, "s", "<= 1.01 x device time"});
    report.Add({name + ": through the host against in process", Median(hostRuns), Median(windowRuns), "s",
                "<= 1.01 x in process"});
    report.Add({name + ": through the host against in process, own times", Median(hostOwnTime), Median(ownTime), "s",
                "<= 1.01 x in process"});
  }
  w.sim->SimCtl_SetTiming(0);
  report.Note(
      "Realistic timing (simulated programmer): page of 2112 bytes, 64 pages per block; page read 25 us,\n"
      "page program 200 us, block erase 2 ms (public NAND datasheet figures); USB 2.0 high-speed bulk\n"
      "transfer at 53.248 MB/s; 125 us of command overhead per library call. The baseline column is the\n"
      "device time the simulator accumulated during the run. The simulator sleeps, then spins, until a\n"
      "call's device time has passed; on a shared machine its calls overrun by a few per cent, which the\n"
      "second row of each process takes out: device time plus the run's time outside the library calls.\n"
      "Through the host: the simulator runs in the host process and publishes its device time and time in\n"
      "calls through a file (DRAVOLIN_SIM_CLOCK_FILE); its device time for the same calls equals the one\n"
      "measured in process (checked). The write runs read and write images of their own, the host's in its\n"
      "own working directory.");
}

}  // namespace selvarex::bench
