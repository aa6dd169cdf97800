// The dump writing process against the simulated chip.
#include <gtest/gtest.h>

#include <atomic>

#include "transfer/dump_writing.h"
#include "transfer_fixture.h"

namespace selvarex::test {
namespace {

using drav::Entry;
const std::string kStart = "START DUMP WRITING PROCESS: ", kEnd = "END DUMP WRITING PROCESS: ";

class DumpWriting : public TransferTest {
 protected:
  ProcessResult Run(std::uint32_t address, std::uint32_t count, const std::string& file, bool verify = true) {
    return RunDumpWriting(
        Target(), {static_cast<std::int32_t>(address), static_cast<std::int32_t>(count), file, verify}, host, settings);
  }
};

TEST_F(DumpWriting, SkipsChipAndImageBadBlocksAndCountsWriteErrors) {
  EraseChip(0, 8);
  MarkBad(2);
  const auto image = MakeImage(Path("image.bin"), 0, 8, 8 * B, {5});
  const auto block2 = Chip(2);
  s.sim->Fail(Entry::DravFlashRead, 5);   // block 4's marker, after a good block 3
  s.sim->Fail(Entry::DravFlashWrite, 2);  // block 1
  EXPECT_EQ(Run(0, 8 * B, Path("image.bin")).message,
            "NAND Dump has been restored!\n\n2 NAND bad block/s has been skipped.\n1 File Dump bad block/s has been "
            "skipped.\n1 NAND Write Error/s has occured.\n\nCheck the log for the details.");
  EXPECT_EQ(Log(), Section(kStart,
                           {"Write cycle #2/8, Flash Write Error #1 occured at Address: 135168 (dec)",
                            "Write cycle #3/8, NAND Bad Block #1 found at Address: 270336 (dec)",
                            "Write cycle #5/8, Flash Read Error occured at Address: 542720  (dec), while "
                            "checking OOB bad block byte.",
                            "Write cycle #5/8, NAND Bad Block #2 found at Address: 540672 (dec)",
                            "Write cycle #6/8, File Bad Block #1 found at position: 675840 (dec)",
                            "Flash0 NAND dump restored from file: " + Path("image.bin")},
                           kEnd));
  for (std::uint32_t b : {0u, 3u, 6u, 7u}) EXPECT_EQ(Chip(b), image[b]) << b;
  for (std::uint32_t b : {1u, 4u, 5u}) EXPECT_EQ(Chip(b), kErased) << b;
  EXPECT_EQ(Chip(2), block2);
  EXPECT_EQ(std::tuple(Calls(Entry::DravFlashWrite), host.ranges, host.blocksDone),
            std::tuple(5u, std::vector<std::uint32_t>{8}, 8u));
  EXPECT_EQ(s.sim->LastArgs(Entry::DravFlashSetWVerify), (std::vector<std::uint32_t>{s.programmer.FlashHandle(), 1}));
}

TEST_F(DumpWriting, BlocksComeFromTheFileOffsetOfTheirNandAddressAnd511IsExempt) {
  EraseChip(10, 15);
  auto image = MakeImage(Path("image.bin"), 10, 15, 15 * B, {12});
  Run(10 * B, 5 * B, Path("image.bin"), false);
  EXPECT_EQ(Log(), Section(kStart,
                           {"Write cycle #13/5, File Bad Block #1 found at position: 1622016 (dec)",
                            "Flash0 NAND dump restored from file: " + Path("image.bin")},
                           kEnd));
  for (std::uint32_t b : {10u, 11u, 13u, 14u}) EXPECT_EQ(Chip(b), image[b]) << b;
  EXPECT_EQ(s.sim->LastArgs(Entry::DravFlashSetWVerify), (std::vector<std::uint32_t>{s.programmer.FlashHandle(), 0}));
  EraseChip(510, 513);
  MarkBad(nand::kExemptBlock);
  image = MakeImage(Path("sparse.bin"), 510, 513, 513 * B, {nand::kExemptBlock});
  s.sim->Fail(Entry::DravFlashRead, 2);  // block 511's marker cannot be read either
  Run(510 * B, 3 * B, Path("sparse.bin"), false);
  EXPECT_EQ(Chip(nand::kExemptBlock), image[nand::kExemptBlock]);
}

TEST_F(DumpWriting, ImageShorterThanTheRangeStopsBeforeTheFirstBlockItCannotFill) {
  struct Case {
    std::uint32_t length, first, writes;
    std::string error;
  };
  EraseChip(0, 12);
  MarkBad(10);
  MarkBad(11);
  const std::string counts = " NAND bad block/s skipped, 0 File Dump bad block/s skipped, 0 NAND Write Error/s.";
  for (const Case& c : {Case{2 * B + B / 2, 0, 2,
                             " ended at position 337920 (dec): NAND address 270336 (dec) and the "
                             "blocks after it have not been written.\n\n2 block/s written, 0" +
                                 counts},
                        Case{B, 3, 0,
                             " ended at position 135168 (dec): NAND address 405504 (dec) and the blocks "
                             "after it have not been written.\n\n0 block/s written, 0" +
                                 counts},
                        Case{10 * B, 8, 2, ""}}) {  // the bad chip blocks 10 and 11 need no image bytes
    MakeImage(Path("short.bin"), 0, 12, c.length);
    s.sim->SimCtl_ResetCounts();
    NewLog("log" + std::to_string(c.first));
    EXPECT_EQ(SimSession::ErrorOf([&] { Run(c.first * B, 4 * B, Path("short.bin")); }),
              c.error.empty() ? "" : "Image file " + Path("short.bin") + c.error);
    EXPECT_EQ(Calls(Entry::DravFlashWrite), c.writes);
  }
  EXPECT_EQ(Chip(2), kErased) << "half a block is never written";
  EXPECT_EQ(ReadFile(Path("log0")),
            Section(kStart, {"Write cycle #3/4, Image file ended at position: 337920 (dec), writing stopped."}));
}

// The disk reads block N + 1 of the image while the programmer writes block N
// and the window has its turn. However slow the disk, and whichever read
// fails, bad blocks, a short image and the chip are decided block by block,
// in order: a failed read of a block the chip skips changes nothing.
TEST_F(DumpWriting, SlowOrFailingDiskAtEachBlockChangesNeitherOrderNorContent) {
  struct Case {
    int fail;
    std::vector<std::string> entries;
    std::string error;
  };
  const std::string nandBad = "Write cycle #2/4, NAND Bad Block #1 found at Address: 135168 (dec)";
  const std::string fileBad = "Write cycle #3/4, File Bad Block #1 found at position: 270336 (dec)";
  const auto ended = [](int block, int written, int fileBad) {
    const std::string at = std::to_string(block * B);
    return std::pair("Write cycle #" + std::to_string(block + 1) + "/4, Image file ended at position: " + at +
                         " (dec), writing stopped.",
                     " ended at position " + at + " (dec): NAND address " + at +
                         " (dec) and the blocks after it "
                         "have not been written.\n\n" +
                         std::to_string(written) + " block/s written, " + std::to_string(block > 1 ? 1 : 0) +
                         " NAND bad block/s skipped, " + std::to_string(fileBad) +
                         " File Dump bad block/s skipped, 0 NAND Write Error/s.");
  };
  const auto [ended0, error0] = ended(0, 0, 0);
  const auto [ended2, error2] = ended(2, 1, 0);
  const auto [ended3, error3] = ended(3, 1, 1);
  const std::string done = "Flash0 NAND dump restored from file: " + Path("image.bin");
  for (const Case& c : {Case{-1, {nandBad, fileBad, done}, ""}, Case{0, {ended0}, error0},
                        Case{1, {nandBad, fileBad, done}, ""},  // the chip skips block 1: no image bytes needed
                        Case{2, {nandBad, ended2}, error2}, Case{3, {nandBad, fileBad, ended3}, error3}}) {
    EraseChip(0, 4);
    MarkBad(1);
    const auto image = MakeImage(Path("image.bin"), 0, 4, 4 * B, {2});
    NewLog("log" + std::to_string(c.fail));
    std::atomic<std::uint32_t> turns{0};
    host = RecordingHost{};
    host.duringBlockDone = [&] { ++turns; };
    SlowDisk disk(
        [&](std::int64_t position) {
          const auto block = static_cast<std::uint32_t>(position / B);
          return turns >= block || (c.fail >= 0 && block > static_cast<std::uint32_t>(c.fail));
        },
        c.fail < 0 ? -1 : std::int64_t{c.fail} * B);
    EXPECT_EQ(SimSession::ErrorOf([&] { Run(0, 4 * B, Path("image.bin")); }),
              c.error.empty() ? "" : "Image file " + Path("image.bin") + c.error);
    EXPECT_EQ(Log(), Section(kStart, c.entries, c.error.empty() ? kEnd : "")) << c.fail;
    const std::uint32_t reached = c.fail < 0 || c.fail == 1 ? 4 : c.fail;
    EXPECT_EQ(Chip(0), reached > 0 ? image[0] : kErased) << c.fail;
    EXPECT_EQ(Chip(2), kErased) << c.fail;
    EXPECT_EQ(Chip(3), reached > 3 ? image[3] : kErased) << c.fail;
    EXPECT_EQ(disk.waitedInVain, 0) << c.fail << ": the disk waited for a window turn that never came";
  }
}

TEST_F(DumpWriting, ImageThatCannotBeOpenedStopsAfterTheStartFrame) {
  EXPECT_EQ(SimSession::ErrorOf([&] { Run(0, 8 * B, Path("absent.bin")); }), "Cannot open file " + Path("absent.bin"));
  EXPECT_EQ(Log(), Section(kStart, {}));
  EXPECT_EQ(std::tuple(host.ranges, Calls(Entry::DravFlashRead)), std::tuple(std::vector<std::uint32_t>{8}, 0u));
}

}  // namespace
}  // namespace selvarex::test
