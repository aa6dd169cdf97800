// The dump reading process against the simulated chip.
#include <gtest/gtest.h>

#include <atomic>

#include "transfer/dump_reading.h"
#include "transfer_fixture.h"

namespace selvarex::test {
namespace {

using drav::Entry;
const std::string kStart = "START DUMP READING PROCESS: ", kEnd = "END DUMP READING PROCESS: ";

class DumpReading : public TransferTest {
 protected:
  ProcessResult Run(std::uint32_t address, std::uint32_t count, const std::string& file) {
    return RunDumpReading(Target(), {static_cast<std::int32_t>(address), static_cast<std::int32_t>(count), file}, host,
                          settings);
  }
  // The image must hold chip blocks first.. in order, and nothing else.
  bool ImageHolds(const std::string& file, std::uint32_t first, std::uint32_t blocks) const {
    std::string chip;
    for (std::uint32_t b = first; b < first + blocks; ++b) {
      const auto bytes = Chip(b);
      chip.append(bytes.begin(), bytes.end());
    }
    return ReadFile(file) == chip;
  }
};

TEST_F(DumpReading, DefaultRunCopiesTheWholeExtentAndLogsBadBlocksBut511) {
  MarkBad(0);
  MarkBad(nand::kExemptBlock);  // besides the chip's own 37, 402 and 1000
  EXPECT_EQ(Run(0, nand::kDefaultBytes, Path("image.bin")).message,
            "NAND Dump has been created!\n\n4 bad block/s has been found.\n\nCheck the log for the details.");
  EXPECT_EQ(Log(), Section(kStart,
                           {"Read cycle #1/1024, NAND Bad Block #1 found at Address: 0 (dec)",
                            "Read cycle #38/1024, NAND Bad Block #2 found at Address: 5001216 (dec)",
                            "Read cycle #403/1024, NAND Bad Block #3 found at Address: 54337536 (dec)",
                            "Read cycle #1001/1024, NAND Bad Block #4 found at Address: 135168000 (dec)",
                            "Flash0 NAND dump saved on file: " + Path("image.bin")},
                           kEnd));
  EXPECT_TRUE(ImageHolds(Path("image.bin"), 0, 1024));
  EXPECT_EQ(std::tuple(Calls(Entry::DravFlashRead), host.ranges, host.blocksDone),
            std::tuple(1024u, std::vector<std::uint32_t>{1024}, 1024u));
}

TEST_F(DumpReading, RangesReplaceTheFileAndStartAtRoundedDownBlocks) {
  struct Case {
    std::uint32_t address, count, first, blocks, planned;
  };
  MarkBad(12);
  for (const Case& c : {Case{0, B - 1, 0, 0, 0}, Case{100, B, 0, 1, 1}, Case{10 * B, 5 * B, 10, 5, 5}}) {
    std::ofstream(Path("image.bin")) << std::string(3 * B + 5, 'x');  // replaced without a question
    host = RecordingHost{};
    Run(c.address, c.count, Path("image.bin"));
    EXPECT_TRUE(ImageHolds(Path("image.bin"), c.first, c.blocks)) << c.address;
    EXPECT_EQ(std::tuple(host.ranges, host.blocksDone), std::tuple(std::vector{c.planned}, c.blocks)) << c.address;
  }
  EXPECT_NE(Log().find("\r\n> Read cycle #13/5, NAND Bad Block #1 found at Address: 1622016 (dec)\r\n"),
            std::string::npos);
}

TEST_F(DumpReading, ReadErrorLogsRaisesAndKeepsTheBlocksBefore) {
  s.sim->Fail(Entry::DravFlashRead, 3, 1, "read refused");
  EXPECT_EQ(SimSession::ErrorOf([&] { Run(0, nand::kDefaultBytes, Path("image.bin")); }), "read refused");
  EXPECT_EQ(Log(), Section(kStart, {"Read cycle #3/1024, Read Error occured at Address: 270336 (dec)"}));
  EXPECT_TRUE(ImageHolds(Path("image.bin"), 0, 2));
}

TEST_F(DumpReading, ImageThatCannotBeCreatedOrWrittenStopsTheRun) {
  EXPECT_EQ(SimSession::ErrorOf([&] { Run(0, 3 * B, Path("missing/image.bin")); }),
            "Cannot create file " + SystemWritten(Path("missing/image.bin")));
  EXPECT_EQ(Log(), Section(kStart, {}));
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full to fill";
  NewLog("full.log");
  EXPECT_EQ(SimSession::ErrorOf([&] { Run(0, 3 * B, "/dev/full"); }),
            "Cannot write file /dev/full at position 0 (dec): the NAND dump is incomplete.");
  EXPECT_EQ(Log(), Section(kStart, {"Read cycle #1/3, File Write Error occured at position: 0 (dec)"}));
  EXPECT_EQ(Calls(Entry::DravFlashRead), 2u) << "the block read while the disk failed is dropped";
}

// The disk writes block N while the programmer reads block N + 1 and the
// window has its turn. However slow the disk, and whichever write fails, the
// log, the error and the image are those of a run that did one thing at a
// time: a failed write is reported at its own block, and what was read after
// it (here even a failed read) is never logged.
TEST_F(DumpReading, SlowOrFailingDiskAtEachBlockChangesNeitherOrderNorContent) {
  MarkBad(2);
  const std::string bad = "Read cycle #3/4, NAND Bad Block #1 found at Address: 270336 (dec)";
  for (int fail = -1; fail < 4; ++fail) {  // -1: slow only
    NewLog("log" + std::to_string(fail));
    s.sim->SimCtl_ResetCounts();
    std::atomic<std::uint32_t> turns{0};
    host = RecordingHost{};
    host.duringBlockDone = [&] { ++turns; };
    if (fail >= 0 && fail < 3) s.sim->Fail(Entry::DravFlashRead, fail + 2, 1, "read after the failed write");
    SlowDisk disk(
        [&](std::int64_t position) {
          const auto block = static_cast<std::uint32_t>(position / B);
          return turns >= block + 1 && (block == 3 || Calls(Entry::DravFlashRead) >= block + 2);
        },
        fail < 0 ? -1 : std::int64_t{fail} * B);
    std::vector<std::string> entries;
    if (fail < 0 || fail >= 2) entries.push_back(bad);
    if (fail < 0) {
      EXPECT_EQ(Run(0, 4 * B, Path("image.bin")).message,
                "NAND Dump has been created!\n\n1 bad block/s has been found.\n\nCheck the log for the details.");
      entries.push_back("Flash0 NAND dump saved on file: " + Path("image.bin"));
      EXPECT_EQ(Log(), Section(kStart, entries, kEnd));
    } else {
      const std::string position = std::to_string(fail * B);
      EXPECT_EQ(SimSession::ErrorOf([&] { Run(0, 4 * B, Path("image.bin")); }),
                "Cannot write file " + Path("image.bin") + " at position " + position +
                    " (dec): the NAND dump is incomplete.");
      entries.push_back("Read cycle #" + std::to_string(fail + 1) +
                        "/4, File Write Error occured at position: " + position + " (dec)");
      EXPECT_EQ(Log(), Section(kStart, entries)) << fail;
    }
    EXPECT_TRUE(ImageHolds(Path("image.bin"), 0, fail < 0 ? 4 : fail)) << fail;
    EXPECT_EQ(disk.waitedInVain, 0) << fail << ": the disk waited for a read or a window turn that never came";
  }
}

}  // namespace
}  // namespace selvarex::test
