// Every library call of the three block-wise processes fails once, in turn,
// while the operator runs the process from the window over a chip range with
// bad blocks. After each fault: the error reaches the error box (or the run
// counts it and goes on), the log section is well formed and ends exactly
// when the run completed, the image holds exactly the blocks read, the chip
// holds exactly the blocks written or erased, every file is closed, and the
// next run works.
#include <QCheckBox>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <set>

#include "fault_sweep.h"
#include "log_shape.h"
#include "open_files.h"
#include "reliability_window.h"

namespace selvarex::test {
namespace {

namespace fs = std::filesystem;
using A = ActionId;
using drav::Entry;
using Blocks = std::set<std::uint32_t>;

enum class Process { Read, Write, Erase };

struct ChipSetup {
  const char* name;
  std::uint32_t chipBlocks;
  std::uint32_t first;  // the range the operator asks for
  std::uint32_t count;
  Blocks chipBad;   // marker 0 in the chip
  Blocks imageBad;  // marker 0 in the image the writing process reads
};

// A small chip; and a range around the exempt block 511, which is marked bad
// in the chip and in the image and must be handled like a good block.
const ChipSetup kSmallChip{"SmallChip", 24, 2, 12, {3, 10}, {6}};
const ChipSetup kAround511{"Around511", 516, 505, 10, {507, 511, 513}, {509, 511}};

bool Good(std::uint32_t block, const Blocks& bad) { return block == nand::kExemptBlock || bad.count(block) == 0; }

// What a run must have done, from the process's rules and the fault.
struct Expectation {
  bool ruleFailed = false;  // the enable rule's library query failed: nothing ran
  bool fatal = false;       // the run ends in the error box
  std::string lastEntry;    // the entry a fatal run ends with
  Blocks changed;           // blocks written or erased
  std::uint32_t blocksRead = 0;
  std::uint32_t nandBad = 0, fileBad = 0, errors = 0;
  std::size_t entries = 0;  // entries before the summary
  std::string message;      // the closing message of a completed run
  std::string stopPrefix;   // hostStops: the cycle the host stopped in, "" before the first
};

// hostStops: the fault's call ends the library's host instead of failing,
// so the run ends there with one entry about it.
Expectation Expect(Process p, const ChipSetup& c, std::optional<Fault> fault, bool hostStops = false) {
  std::map<Entry, std::uint32_t> calls;
  const auto fails = [&](Entry e) { return ++calls[e], fault && fault->entry == e && fault->nth == calls[e]; };
  Expectation x;
  const auto stopped = [&](std::string prefix) {
    x.fatal = true;
    ++x.entries;
    x.stopPrefix = std::move(prefix);
    return x;
  };
  if (fails(Entry::DravDevIsProdSupported)) {
    x.ruleFailed = x.fatal = true;
    return x;
  }
  if (p != Process::Read && fails(Entry::DravFlashSetWVerify)) {
    if (hostStops) return stopped("");
    x.fatal = true;
    x.entries = 1;
    x.lastEntry = "An Error occured while setting Write Verify!";
    return x;
  }
  for (std::uint32_t b = c.first; b < c.first + c.count; ++b) {
    const char* word[] = {"Read", "Write", "Erase"};
    const std::string prefix = std::string(word[static_cast<int>(p)]) + " cycle #" + std::to_string(b + 1) + "/" +
                               std::to_string(p == Process::Erase ? c.first + c.count : c.count);
    if (p == Process::Read) {
      if (fails(Entry::DravFlashRead)) {
        if (hostStops) return stopped(prefix);
        x.fatal = true;
        ++x.entries;
        x.lastEntry = prefix + ", Read Error occured at Address: " + std::to_string(b * kBlockBytes) + " (dec)";
        return x;
      }
      ++x.blocksRead;
      if (!Good(b, c.chipBad)) ++x.nandBad, ++x.entries;
      continue;
    }
    // An unreadable chip marker counts as bad, except for block 511.
    const bool markerLost = fails(Entry::DravFlashRead);
    if (markerLost && hostStops) return stopped(prefix);
    if (markerLost) ++x.entries;
    if (markerLost ? b != nand::kExemptBlock : !Good(b, c.chipBad)) {
      ++x.nandBad, ++x.entries;
      continue;
    }
    if (p == Process::Write && !Good(b, c.imageBad)) {
      ++x.fileBad, ++x.entries;
      continue;
    }
    if (fails(p == Process::Write ? Entry::DravFlashWrite : Entry::DravFlashEraseSector)) {
      if (hostStops) return stopped(prefix);
      ++x.errors, ++x.entries;
    } else {
      x.changed.insert(b);
    }
  }
  using std::to_string;
  const std::string details = "\n\nCheck the log for the details.";
  switch (p) {
    case Process::Read:
      x.message = "NAND Dump has been created!\n\n" + to_string(x.nandBad) + " bad block/s has been found." + details;
      break;
    case Process::Write:
      x.message = "NAND Dump has been restored!\n\n" + to_string(x.nandBad) + " NAND bad block/s has been skipped.\n" +
                  to_string(x.fileBad) + " File Dump bad block/s has been skipped.\n" + to_string(x.errors) +
                  " NAND Write Error/s has occured." + details;
      break;
    case Process::Erase:
      // Only blocks whose erase succeeded count as erased.
      x.message = to_string(x.changed.size()) + " Sector/s Erased.\n\n" + to_string(x.nandBad) +
                  " bad block/s has been skipped.\n" + to_string(x.errors) + " NAND Erase Error/s has occured." +
                  details;
      break;
  }
  return x;
}

struct SweepCase {
  Process process;
  ChipSetup chip;
};

void PrintTo(const SweepCase& c, std::ostream* out) {
  const char* process[] = {"Read", "Write", "Erase"};
  *out << process[static_cast<int>(c.process)] << " over " << c.chip.name;
}

std::string CaseName(const ::testing::TestParamInfo<SweepCase>& info) {
  const char* process[] = {"Read", "Write", "Erase"};
  return std::string(process[static_cast<int>(info.param.process)]) + "_" + info.param.chip.name;
}

class ProcessFaultSweep : public ReliabilityWindow, public ::testing::WithParamInterface<SweepCase> {
 protected:
  void SetUp() override {
    ReliabilityWindow::SetUp();
    GoSelected(0);
    // Writes go over the chip's old content; without verify the chip then
    // holds old AND new bits, as NAND programming leaves them.
    VerifyBox(*window)->click();
    ASSERT_FALSE(VerifyBox(*window)->isChecked());
    if (P().process == Process::Write) MakeImage();
  }
  const SweepCase& P() const { return GetParam(); }
  std::uint32_t First() const { return P().chip.first; }
  std::uint32_t End() const { return P().chip.first + P().chip.count; }

  // The image the writing process reads, addressed like the chip: a pattern
  // block at the offset of every block of the range, nothing before it.
  void MakeImage() {
    std::ofstream out(FilePath("image.bin"), std::ios::binary | std::ios::trunc);
    for (std::uint32_t b = First(); b < End(); ++b) {
      std::vector<std::uint8_t> block(kBlockBytes);
      for (std::uint32_t i = 0; i < kBlockBytes; ++i) block[i] = static_cast<std::uint8_t>(i * 29 + b * 7 + 3);
      block[nand::kMarkerOffset] = P().chip.imageBad.count(b) != 0 ? 0x00 : 0xFF;
      out.seekp(std::streamoff{b} * kBlockBytes).write(reinterpret_cast<const char*>(block.data()), kBlockBytes);
    }
  }
  std::vector<std::uint8_t> ImageBlock(const std::string& name, std::uint64_t offset) const {
    std::vector<std::uint8_t> block(kBlockBytes);
    std::ifstream in(FilePath(name), std::ios::binary);
    in.seekg(static_cast<std::streamoff>(offset)).read(reinterpret_cast<char*>(block.data()), kBlockBytes);
    return block;
  }

  // The chip back in its factory state with the setup's bad blocks; returns
  // the blocks the range and its two neighbours hold now.
  std::map<std::uint32_t, std::vector<std::uint8_t>> PrepareChip() {
    Sim().SimCtl_SetBlockCount(0, P().chip.chipBlocks);
    for (std::uint32_t b : P().chip.chipBad) Sim().SimCtl_SetMarker(0, b, 0x00);
    std::map<std::uint32_t, std::vector<std::uint8_t>> blocks;
    for (std::uint32_t b = First() - 1; b <= End() && b < P().chip.chipBlocks; ++b) blocks[b] = ChipBlock(0, b);
    std::error_code ignored;
    fs::remove(FilePath("dump.bin"), ignored);
    return blocks;
  }

  Outcome Run() {
    const QString address = QString::number(First() * kBlockBytes);
    switch (P().process) {
      case Process::Read:
        AnswerParameters(address, QString::number(P().chip.count * kBlockBytes), QFilePath("dump.bin"));
        return Record([&] { Execute(A::actFlashRead); });
      case Process::Write:
        AnswerParameters(address, QString::number(P().chip.count * kBlockBytes), QFilePath("image.bin"));
        return Record([&] { Execute(A::actFlashProgram); });
      case Process::Erase:
        AnswerParameters(address, QString::number(End()));
        return Record([&] { Execute(A::actFlashEraseSector); });
    }
    return {};
  }

  // Everything the run left behind against the expectation.
  void Check(const Expectation& x, const Outcome& run, const std::string& errorText,
             const std::map<std::uint32_t, std::vector<std::uint8_t>>& before, std::size_t sectionsBefore) {
    EXPECT_EQ(run.errors, x.fatal ? std::vector<std::string>{errorText} : std::vector<std::string>{});
    EXPECT_EQ(run.messages, x.fatal ? std::vector<std::string>{} : std::vector<std::string>{x.message});
    EXPECT_EQ(prompts.unexpectedDialogs, 0);

    const LogShape log = ParseLogFile(LogPath());
    ASSERT_EQ(log.error, "");
    ASSERT_EQ(log.sections.size(), sectionsBefore + (x.ruleFailed ? 0 : 1));
    if (!x.ruleFailed) {
      const LogSection& section = log.sections.back();
      const char* process[] = {"DUMP READING", "DUMP WRITING", "ERASE SECTORS"};
      EXPECT_EQ(section.process, process[static_cast<int>(P().process)]);
      EXPECT_EQ(section.ended, !x.fatal);
      EXPECT_EQ(section.HasSummary(), !x.fatal);
      EXPECT_EQ(section.entries.size(), x.entries + (x.fatal ? 0 : 1));
      if (!x.lastEntry.empty() && !section.entries.empty()) EXPECT_EQ(section.entries.back(), x.lastEntry);
    }
    CheckFiles(x, before);
  }

  // Back at a usable chip the way an operator gets there, the run of the dry
  // run works as it did.
  void ExpectTheSameRunWorks(const Outcome& dry) {
    GoSelected(0);
    ASSERT_FALSE(HasFatalFailure());
    PrepareChip();
    const Outcome again = Run();
    EXPECT_EQ(again.errors, std::vector<std::string>{});
    EXPECT_EQ(again.messages, dry.messages);
    EXPECT_EQ(again.calls, dry.calls);
  }

  // The image holds exactly the blocks read, the chip exactly the blocks
  // written or erased, and every file is closed.
  void CheckFiles(const Expectation& x, const std::map<std::uint32_t, std::vector<std::uint8_t>>& before) {
    if (P().process == Process::Read) {
      EXPECT_EQ(fs::exists(FilePath("dump.bin")), !x.ruleFailed);
      if (!x.ruleFailed) {
        ASSERT_EQ(fs::file_size(FilePath("dump.bin")), std::uint64_t{x.blocksRead} * kBlockBytes);
        for (std::uint32_t i = 0; i < x.blocksRead; ++i)
          EXPECT_TRUE(ImageBlock("dump.bin", std::uint64_t{i} * kBlockBytes) == before.at(First() + i)) << i;
      }
    }
    for (const auto& [b, old] : before) {
      std::vector<std::uint8_t> wanted = old;
      if (x.changed.count(b) != 0 && P().process == Process::Erase) wanted.assign(kBlockBytes, 0xFF);
      if (x.changed.count(b) != 0 && P().process == Process::Write) {
        const std::vector<std::uint8_t> image = ImageBlock("image.bin", std::uint64_t{b} * kBlockBytes);
        for (std::uint32_t i = 0; i < kBlockBytes; ++i) wanted[i] &= image[i];
      }
      EXPECT_TRUE(ChipBlock(0, b) == wanted) << "chip block " << b;
    }
    // Nothing beyond the blocks looked at above has changed.
    Blocks touched = P().chip.chipBad;
    touched.insert(x.changed.begin(), x.changed.end());
    EXPECT_EQ(Sim().SimCtl_AllocatedBlocks(0), touched.size());
    EXPECT_EQ(OpenFilesUnder(dir_.path()), std::vector<std::string>{});
  }
};

TEST_P(ProcessFaultSweep, EveryCallFailsOnceAndTheRunStaysHonest) {
  PrepareChip();
  const Outcome dry = Run();
  const Expectation clean = Expect(P().process, P().chip, std::nullopt);
  ASSERT_EQ(dry.errors, std::vector<std::string>{});
  ASSERT_EQ(dry.messages, std::vector<std::string>{clean.message});
  const std::vector<Fault> faults = FaultsOf(dry.calls);
  ASSERT_GT(faults.size(), P().chip.count);

  int injected = 0;
  for (const Fault& fault : faults) {
    for (const ErrorText told : kErrorTexts) {
      SCOPED_TRACE(Describe(fault, told));
      const auto before = PrepareChip();
      const std::size_t sections = ParseLogFile(LogPath()).sections.size();
      Inject(Sim(), fault, told);
      ++injected;
      const Outcome run = Run();
      Sim().SimCtl_ClearFailures();
      const Expectation x = Expect(P().process, P().chip, fault);
      Check(x, run, ShownError(fault, told), before, sections);

      // The window is still usable, and the same run now works.
      bool idle = false;
      EXPECT_EQ(Record([&] { idle = window->RunIdlePass(); }).errors, std::vector<std::string>{});
      ASSERT_TRUE(idle);
      ExpectTheSameRunWorks(dry);
      ASSERT_FALSE(HasFatalFailure());
      // A fault that leaves no error box leaves nothing for a text-less variant.
      if (run.errors.empty()) break;
    }
  }
  RecordProperty("faults_injected", injected);
  std::cout << "[ sweep    ] " << injected << " faults injected, every one survived\n";
}

// Through the library host: the host ends at each call in turn, as a crash in
// the library would end it. The run ends at that call with the host's stop in
// the error box; its log section gets an entry about it and the end frame;
// the image and the chip hold exactly what was done before; the library
// counts as unloaded, no host is left, and after loading again the same run
// works.
class ProcessHostStopSweep : public ProcessFaultSweep {};

TEST_P(ProcessHostStopSweep, TheRunEndsCleanlyAtEveryCall) {
  if (dir_.Relay() == nullptr) GTEST_SKIP() << "the library is loaded in this process";
  PrepareChip();
  const Outcome dry = Run();
  ASSERT_EQ(dry.errors, std::vector<std::string>{});
  const std::vector<Fault> faults = FaultsOf(dry.calls);

  for (std::size_t position = 0; position < faults.size(); ++position) {
    const Fault& fault = faults[position];
    SCOPED_TRACE(Describe(fault));
    const auto before = PrepareChip();
    const std::size_t sections = ParseLogFile(LogPath()).sections.size();
    const HostEnd how = StopHostAt(*dir_.Relay(), fault, position);
    const Outcome run = Run();
    const Expectation x = Expect(P().process, P().chip, fault, true);
    const std::string text = HostStoppedText(fault, how);
    EXPECT_EQ(run.errors, std::vector<std::string>{text});
    EXPECT_EQ(run.messages, std::vector<std::string>{});
    ExpectLibraryGone();

    const LogShape log = ParseLogFile(LogPath());
    ASSERT_EQ(log.error, "");
    ASSERT_EQ(log.sections.size(), sections + (x.ruleFailed ? 0 : 1));
    if (!x.ruleFailed) {
      const LogSection& section = log.sections.back();
      EXPECT_TRUE(section.ended);
      EXPECT_FALSE(section.HasSummary());
      EXPECT_EQ(section.entries.size(), x.entries);
      if (!section.entries.empty())
        EXPECT_EQ(section.entries.back(), (x.stopPrefix.empty() ? "" : x.stopPrefix + ", ") + text);
    }
    CheckFiles(x, before);
    ExpectTheSameRunWorks(dry);
    ASSERT_FALSE(HasFatalFailure());
  }
  std::cout << "[ sweep    ] the host stopped at each of " << faults.size() << " calls\n";
}

const auto kSweepCases =
    ::testing::Values(SweepCase{Process::Read, kSmallChip}, SweepCase{Process::Read, kAround511},
                      SweepCase{Process::Write, kSmallChip}, SweepCase{Process::Write, kAround511},
                      SweepCase{Process::Erase, kSmallChip}, SweepCase{Process::Erase, kAround511});
INSTANTIATE_TEST_SUITE_P(Processes, ProcessFaultSweep, kSweepCases, CaseName);
INSTANTIATE_TEST_SUITE_P(ThroughTheHost, ProcessHostStopSweep, kSweepCases, CaseName);

}  // namespace
}  // namespace selvarex::test
