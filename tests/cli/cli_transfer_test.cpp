// Reading, writing, erasing and comparing through selvarex-cli: the window's
// processes with the window's log, and the verify and multi-pass reading
// beyond them.
#include <atomic>

#include "cli/cli_fixture.h"

namespace selvarex::test {
namespace {

const char* const kErase[] = {"START ERASE SECTORS PROCESS: ", "END ERASE SECTORS PROCESS: "};
const char* const kWrite[] = {"START DUMP WRITING PROCESS: ", "END DUMP WRITING PROCESS: "};
const char* const kRead[] = {"START DUMP READING PROCESS: ", "END DUMP READING PROCESS: "};
const char* const kCompare[] = {"START DUMP COMPARING PROCESS: ", "END DUMP COMPARING PROCESS: "};

const std::string kNothingDiffers =
    "NAND Dump has been compared!\n\n0 block/s differ.\n11 block/s compared.\n0 NAND bad block/s has been "
    "skipped.\n1 File Dump bad block/s has been skipped.\n\nCheck the log for the details.\n";

class CliTransfer : public CliTest {
 protected:
  // Twelve blocks erased, then written from an image whose block 4 is bad.
  void EraseAndWrite() {
    image = MakeImage("image.bin", 12, {4});
    const CliRun erase = RunCli({"erase", "--last", "11"});
    ASSERT_EQ(erase.exitCode, 0) << erase.err;
    EXPECT_EQ(erase.out,
              "12 Sector/s Erased.\n\n0 bad block/s has been skipped.\n0 NAND Erase Error/s has occured.\n\n"
              "Check the log for the details.\n");
    const CliRun write = RunCli({"write", "image.bin", "--size", Blocks(12)});
    ASSERT_EQ(write.exitCode, 0) << write.err;
    EXPECT_EQ(write.out,
              "NAND Dump has been restored!\n\n0 NAND bad block/s has been skipped.\n1 File Dump bad block/s has been "
              "skipped.\n0 NAND Write Error/s has occured.\n\nCheck the log for the details.\n");
  }
  std::vector<std::vector<std::uint8_t>> image;
};

TEST_F(CliTransfer, ReadCompareAndWriteRoundTripWithTheWindowsLog) {
  EraseAndWrite();
  for (std::uint32_t b = 0; b < 12; ++b)
    EXPECT_EQ(Chip(b), b == 4 ? std::vector<std::uint8_t>(B, 0xFF) : image[b]) << b;

  const CliRun compare = RunCli({"compare", "image.bin", "--size", "0x18C000"});
  EXPECT_EQ(compare.exitCode, 0) << compare.err;
  EXPECT_EQ(compare.out, kNothingDiffers);

  const CliRun read = RunCli({"read", "copy.bin", "--size", Blocks(12)});
  EXPECT_EQ(read.exitCode, 0) << read.err;
  EXPECT_EQ(read.out,
            "NAND Dump has been created!\n\n0 bad block/s has been found.\n\nCheck the log for the details.\n");
  const std::string copy = ReadText(Path("copy.bin"));
  ASSERT_EQ(copy.size(), 12u * B);
  for (std::uint32_t b = 0; b < 12; ++b) {
    const std::vector<std::uint8_t> block(copy.begin() + b * B, copy.begin() + (b + 1) * B);
    EXPECT_EQ(block, Chip(b)) << b;
  }

  // The log the window writes for the same runs, byte for byte but for the
  // time stamps: the same on Linux and Windows.
  EXPECT_EQ(Log(), Section(kErase[0], {"Flash0 12 sectors erased, 0 bad block/s has been skipped."}, kErase[1]) +
                       Section(kWrite[0],
                               {"Write cycle #5/12, File Bad Block #1 found at position: 540672 (dec)",
                                "Flash0 NAND dump restored from file: image.bin"},
                               kWrite[1]) +
                       Section(kCompare[0],
                               {"Compare cycle #5/12, File Bad Block #1 found at position: 540672 (dec)",
                                "Flash0 NAND dump compared with file: image.bin, 0 block/s differ."},
                               kCompare[1]) +
                       Section(kRead[0], {"Flash0 NAND dump saved on file: copy.bin"}, kRead[1]));
}

TEST_F(CliTransfer, CompareFindsExactlyTheBlocksChangedBehindItsBack) {
  EraseAndWrite();
  const std::uint8_t zeros[10] = {};
  sim.SimCtl_WriteRaw(0, 2 * B + 100, zeros, 1);
  sim.SimCtl_WriteRaw(0, 9 * B + 5000, zeros, 10);
  sim.SimCtl_WriteRaw(0, 4 * B + 7, zeros, 3);  // bad in the image: writing skipped it, so does compare
  const std::string two = "Block 2 at Address: 270336 (dec), 1 byte/s differ, the first at Address: 270436 (dec)";
  const std::string nine = "Block 9 at Address: 1216512 (dec), 10 byte/s differ, the first at Address: 1221512 (dec)";
  const std::string totals =
      "NAND Dump has been compared!\n\n2 block/s differ.\n11 block/s compared.\n0 NAND bad block/s has been "
      "skipped.\n1 File Dump bad block/s has been skipped.\n\nCheck the log for the details.\n";

  const CliRun all = RunCli({"compare", "image.bin", "--size", Blocks(12)});
  EXPECT_EQ(all.exitCode, 1);
  EXPECT_EQ(all.out, two + "\n" + nine + "\n" + totals);

  const CliRun first = RunCli({"compare", "image.bin", "--size", Blocks(12), "--max-report", "1"});
  EXPECT_EQ(first.exitCode, 1);
  EXPECT_EQ(first.out, two + "\n1 more block/s differ; the log names them all.\n" + totals);

  const std::string section =
      Section(kCompare[0],
              {"Compare cycle #3/12, Difference #1 found at Address: 270336 (dec), 1 byte/s differ, the first at "
               "Address: 270436 (dec)",
               "Compare cycle #5/12, File Bad Block #1 found at position: 540672 (dec)",
               "Compare cycle #10/12, Difference #2 found at Address: 1216512 (dec), 10 byte/s differ, the first at "
               "Address: 1221512 (dec)",
               "Flash0 NAND dump compared with file: image.bin, 2 block/s differ."},
              kCompare[1]);
  EXPECT_TRUE(Log().ends_with(section + section)) << Log();

  // A range the image does not fill: compared up to its end, then refused.
  const CliRun beyond = RunCli({"--no-log", "compare", "image.bin", "--start", Blocks(10), "--size", Blocks(3)});
  EXPECT_EQ(beyond.exitCode, 1);
  EXPECT_NE(beyond.err.find("Image file image.bin ended at position 1622016 (dec): NAND address 1622016 (dec)"),
            std::string::npos)
      << beyond.err;
}

TEST_F(CliTransfer, CompareSkipsTheChipsBadBlocks) {
  // Blocks 36 to 38 around the factory bad block 37.
  MakeImage("image.bin", 39);
  const CliRun run = RunCli({"--no-log", "compare", "image.bin", "--start", Blocks(36), "--size", Blocks(3)});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.out.find("Block 37"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("2 block/s differ.\n2 block/s compared.\n1 NAND bad block/s has been skipped."),
            std::string::npos)
      << run.out;
}

TEST_F(CliTransfer, PassesSaveTheImageOnlyWhenEveryPassReadTheSame) {
  EraseAndWrite();
  const CliRun single = RunCli({"read", "single.bin", "--size", Blocks(12)});
  ASSERT_EQ(single.exitCode, 0) << single.err;
  // An older dump of the same name is replaced, as a single read replaces it.
  std::ofstream(Path("three.bin")) << "an older dump";
  const CliRun three = RunCli({"read", "three.bin", "--size", Blocks(12), "--passes", "3"});
  EXPECT_EQ(three.exitCode, 0) << three.err;
  EXPECT_EQ(three.out,
            "NAND Dump has been created!\n\n0 bad block/s has been found.\n3 read passes agreed.\n\nCheck the log for "
            "the details.\n");
  EXPECT_EQ(ReadText(Path("three.bin")), ReadText(Path("single.bin")));

  // Block 5 reads otherwise in the second pass: its twelve blocks come after
  // the first pass's twelve reads.
  std::ofstream(Path("old.bin")) << "an older dump";
  const std::uint8_t changed[2] = {0x12, 0x34};
  dir.Relay()->AtCall(drav::Entry::DravFlashRead, 12 + 6, [&] { sim.SimCtl_WriteRaw(0, 5 * B + 60000, changed, 2); });
  const CliRun unstable = RunCli({"read", "old.bin", "--size", Blocks(12), "--passes", "2"});
  EXPECT_EQ(unstable.exitCode, 1);
  EXPECT_EQ(unstable.out,
            "Block 5 at Address: 675840 (dec), 2 byte/s differ, the first at Address: 735840 (dec)\n"
            "NAND Dump has not been created!\n\n1 block/s differed between 2 read passes.\n0 bad block/s has been "
            "found.\n\nCheck the log for the details.\n");
  EXPECT_EQ(ReadText(Path("old.bin")), "an older dump");
  EXPECT_FALSE(std::filesystem::exists(Path("old.bin.part")));
  EXPECT_TRUE(Log().ends_with(Section(
      kRead[0],
      {"Read cycle #6/12, Pass 2 Difference #1 found at Address: 675840 (dec), 2 byte/s differ, the first at Address: "
       "735840 (dec)",
       "Flash0 NAND dump not saved on file: old.bin, 1 block/s differed between 2 read passes."},
      kRead[1])))
      << Log();
}

TEST_F(CliTransfer, LogGoesWhereItIsToldOrNowhere) {
  std::filesystem::create_directory(Path("logs"));
  EXPECT_EQ(RunCli({"--log", "logs/erase.txt", "erase", "--last", "0"}).exitCode, 0);
  EXPECT_EQ(WithoutStamps(ReadText(Path("logs/erase.txt"))),
            Section(kErase[0], {"Flash0 1 sectors erased, 0 bad block/s has been skipped."}, kErase[1]));
  EXPECT_EQ(RunCli({"erase", "--no-log", "--first", "1", "--last", "1"}).exitCode, 0);
  EXPECT_FALSE(std::filesystem::exists(Path("DravolinLog.txt")));
  // Flash 1 is named in the summary; --no-verify reaches the library.
  sim.SimCtl_SetChip(1, 0x2B74, nullptr, nullptr, 1, 1);
  EXPECT_EQ(RunCli({"--flash", "1", "erase", "--last", "0", "--no-verify"}).exitCode, 0);
  EXPECT_EQ(sim.SimCtl_WriteVerify(1), 0);
  EXPECT_EQ(Log(), Section(kErase[0], {"Flash1 1 sectors erased, 0 bad block/s has been skipped."}, kErase[1]));
}

TEST_F(CliTransfer, AFailedBlockReadEndsTheRunAsInTheWindow) {
  sim.SimCtl_FailBlock(0, 2, kSimFailRead);
  const CliRun run = RunCli({"read", "dump.bin", "--size", Blocks(5)});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_FALSE(run.err.empty());
  EXPECT_EQ(Log(), Section(kRead[0], {"Read cycle #3/5, Read Error occured at Address: 270336 (dec)"}));
  EXPECT_EQ(ReadText(Path("dump.bin")).size(), 2u * B);
}

TEST_F(CliTransfer, CtrlCStopsTheRunAfterItsBlockWithTheWindowsStopEntry) {
#ifdef _WIN32
  GTEST_SKIP() << "Ctrl+C comes from a console, which a test program under wine has not";
#else
  // Ctrl+C, as a terminal sends it to the whole process group, while the
  // library reads the third block.
  std::atomic<CliProcess*> running{nullptr};
  dir.Relay()->AtCall(drav::Entry::DravFlashRead, 3, [&] {
    CliProcess* process = nullptr;
    while ((process = running.load()) == nullptr) std::this_thread::yield();
    process->Interrupt();
  });
  CliProcess process({"read", "dump.bin", "--size", Blocks(12)});
  running = &process;
  const CliRun run = process.Wait();
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err,
            "NAND Dump reading has been stopped!\n\n3 of 12 block/s done.\n\nCheck the log for the details.\n");
  EXPECT_EQ(Log(), Section(kRead[0], {"Read cycle #3/12, Process stopped by the operator."}, kRead[1]));
  EXPECT_EQ(ReadText(Path("dump.bin")).size(), 3u * B);
  // The programmer was closed on the way out.
  std::uint32_t usb = 1, devices = 1, flashes = 0;
  sim.SimCtl_LiveObjects(&usb, &devices, &flashes);
  EXPECT_EQ(usb + devices, 0u);
#endif
}

TEST_F(CliTransfer, ProgressShowsOnATerminalOnly) {
#ifdef _WIN32
  GTEST_SKIP() << "no pseudo-terminal on Windows";
#else
  // The run's last position always stays on the terminal; the figures before
  // it depend on time and are not looked at.
  const CliRun shown = CliProcess({"read", "dump.bin", "--size", Blocks(12)}, CliProcess::ErrorOnTerminal{}).Wait();
  EXPECT_EQ(shown.exitCode, 0);
  EXPECT_NE(shown.err.find("Reading 12/12 blocks"), std::string::npos) << shown.err;
  EXPECT_EQ(shown.out.find("Reading"), std::string::npos);
  // Standard error in a file: nothing but errors.
  const CliRun piped = RunCli({"compare", "dump.bin", "--size", Blocks(12)});
  EXPECT_EQ(piped.exitCode, 0);
  EXPECT_EQ(piped.err, "");
  const CliRun quiet = CliProcess({"--quiet", "erase", "--last", "11"}, CliProcess::ErrorOnTerminal{}).Wait();
  EXPECT_EQ(quiet.exitCode, 0);
  EXPECT_EQ(quiet.err, "");
#endif
}

}  // namespace
}  // namespace selvarex::test
