// What the three processes share: stopping, the write-verify setting, a log
// that cannot be written, missing entry points, and a full round trip.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <span>

#include "transfer/dump_comparing.h"
#include "transfer/dump_reading.h"
#include "transfer/dump_writing.h"
#include "transfer/multi_pass_reading.h"
#include "transfer/sector_erase.h"
#include "transfer_fixture.h"

namespace selvarex::test {
namespace {

namespace fs = std::filesystem;
using drav::Entry;
constexpr std::int32_t kThree = 3 * B;

class Processes : public TransferTest {
 protected:
  struct Kind {
    std::string word, banner;
    std::function<ProcessResult()> run;
  };
  // Erase, write and read of blocks 0 to 2.
  std::vector<Kind> Kinds() {
    const std::string image = Path("image.bin");
    return {{"Erase", "ERASE SECTORS",
             [=, this] {
               return RunSectorErase(Target(), {0, 3, true}, host, settings);
             }},
            {"Write", "DUMP WRITING",
             [=, this] {
               return RunDumpWriting(Target(), {0, kThree, image, true}, host, settings);
             }},
            {"Read", "DUMP READING", [=, this] {
               return RunDumpReading(Target(), {0, kThree, image}, host, settings);
             }}};
  }
};

TEST_F(Processes, OperatorStopEndsTheSectionWithoutSummaryAndWriteVerifyFailureBeforeAnyBlock) {
  EraseChip(0, 3);
  MakeImage(Path("image.bin"), 0, 3, kThree);
  host.stopAfter = 2;
  const std::map<std::string, std::string> stopped = {
      {"Erase", "Sector erase has been stopped!\n\n2 of 3 sector/s done.\n\nCheck the log for the details."},
      {"Write", "NAND Dump writing has been stopped!\n\n2 of 3 block/s done.\n\nCheck the log for the details."},
      {"Read", "NAND Dump reading has been stopped!\n\n2 of 3 block/s done.\n\nCheck the log for the details."}};
  for (const Kind& kind : Kinds()) {
    NewLog(kind.word);
    host.blocksDone = 0;
    const ProcessResult result = kind.run();
    EXPECT_TRUE(result.stopped) << kind.word;
    EXPECT_EQ(result.message, stopped.at(kind.word)) << "never the message of a completed run";
    EXPECT_EQ(Log(), Section("START " + kind.banner + " PROCESS: ",
                             {kind.word + " cycle #2/3, Process stopped by "
                                          "the operator."},
                             "END " + kind.banner + " PROCESS: "));
    if (kind.word == "Read") continue;
    NewLog(kind.word + "Verify");
    s.sim->Fail(Entry::DravFlashSetWVerify, 1, 1, "verify refused");
    EXPECT_EQ(SimSession::ErrorOf(kind.run), "verify refused");
    EXPECT_EQ(Log(), Section("START " + kind.banner + " PROCESS: ", {"An Error occured while setting Write Verify!"}));
  }
  EXPECT_EQ(std::tuple(Calls(Entry::DravFlashEraseSector), Calls(Entry::DravFlashWrite), Calls(Entry::DravFlashRead)),
            std::tuple(2u, 2u, 6u));
  EXPECT_EQ(fs::file_size(Path("image.bin")), 2 * B);
}

// The window pumps messages after every block; a click queued there that
// unloads the library ends the run before any further call to it. The block
// a read was still writing to the disk goes there whole all the same.
TEST_F(Processes, ALibraryUnloadedAfterABlockGetsNoFurtherCall) {
  EraseChip(0, 3);
  MakeImage(Path("image.bin"), 0, 3, kThree);
  std::uint32_t callsAtUnload = 0;
  std::atomic<bool> unloaded{false}, reading{false};
  host.duringBlockDone = [&] {
    s.library.Unload();
    callsAtUnload = s.sim->SimCtl_TotalCalls();
    unloaded = true;
  };
  SlowDisk disk([&](std::int64_t) { return !reading || unloaded; });
  for (const Kind& kind : Kinds()) {
    NewLog(kind.word);
    host.blocksDone = 0;
    unloaded = false;
    reading = kind.word == "Read";
    const std::string error = SimSession::ErrorOf(kind.run);
    EXPECT_NE(error.find("unloaded"), std::string::npos) << kind.word << ": " << error;
    EXPECT_EQ(host.blocksDone, 1u) << kind.word;
    EXPECT_EQ(s.sim->SimCtl_TotalCalls(), callsAtUnload) << kind.word;
    EXPECT_EQ(Log().find("END " + kind.banner), std::string::npos) << kind.word;
    s.library.Load();
  }
  const std::vector<std::uint8_t> first = Chip(0);
  EXPECT_TRUE(ReadFile(Path("image.bin")) == std::string(first.begin(), first.end()));
  EXPECT_EQ(disk.waitedInVain, 0);
}

TEST_F(Processes, LogThatCannotBeOpenedChangesNothingElse) {
  fs::create_directory(Path("folder"));
  MarkBad(1);
  for (const std::string& path : {Path("missing/DravolinLog.txt"), Path("folder")}) {
    settings.path = path;
    EXPECT_EQ(Kinds()[2].run().message,
              "NAND Dump has been created!\n\n1 bad block/s has been found.\n\nCheck the log for the details.");
    EXPECT_EQ(fs::file_size(Path("image.bin")), 3u * B);
    EXPECT_EQ(Kinds()[0].run().message,
              "2 Sector/s Erased.\n\n1 bad block/s has been skipped.\n0 NAND Erase Error/s "
              "has occured.\n\nCheck the log for the details.");
  }
  EXPECT_FALSE(fs::exists(Path("missing")));
  EXPECT_TRUE(fs::is_empty(Path("folder")));
  EXPECT_EQ(Chip(2), kErased);
}

TEST_F(Processes, ReadEraseWriteOnFlash1RestoresEveryGoodBlock) {
  s.sim->SimCtl_SetChip(1, 0x2B74, nullptr, nullptr, 1, 1);
  s.programmer.SelectFlash(1, s.view);  // chip 1 is bad at block 5 from the factory
  const TransferTarget flash1{s.library, s.programmer.FlashHandle(), 1};
  std::vector<std::vector<std::uint8_t>> before;
  for (std::uint32_t b = 0; b < 12; ++b) before.push_back(s.sim->ReadRaw(1, b * B, B));
  RunDumpReading(flash1, {0, 12 * B, Path("image.bin")}, host, settings);
  RunSectorErase(flash1, {0, 12, true}, host, settings);
  ASSERT_EQ(s.sim->ReadRaw(1, 0, B), kErased);
  EXPECT_EQ(RunDumpWriting(flash1, {0, 12 * B, Path("image.bin"), true}, host, settings).message,
            "NAND Dump has been restored!\n\n1 NAND bad block/s has been skipped.\n0 File Dump bad block/s has been "
            "skipped.\n0 NAND Write Error/s has occured.\n\nCheck the log for the details.");
  for (std::uint32_t b = 0; b < 12; ++b)
    if (b != 5) EXPECT_EQ(s.sim->ReadRaw(1, b * B, B), before[b]) << b;
  EXPECT_NE(Log().find("\r\n> Flash1 NAND dump saved on file: "), std::string::npos);
  EXPECT_EQ(std::tuple(host.ranges, host.blocksDone), std::tuple(std::vector<std::uint32_t>{12, 12}, 36u));
}

TEST(MissingEntries, EveryProcessRefusesBeforeTouchingAnything) {
  // Each process against a library without each entry point of the list it exports.
  using Run = std::function<void(const TransferTarget&, ProcessHost&, const LogSettings&)>;
  struct Process {
    std::span<const Entry> entries;
    Run run;
  };
  const Process processes[] = {{kSectorEraseEntries,
                                [](auto& t, auto& h, auto& l) {
                                  RunSectorErase(t, {0, 1, true}, h, l);
                                }},
                               {kDumpWritingEntries,
                                [](auto& t, auto& h, auto& l) {
                                  RunDumpWriting(t, {0, kThree, "image.bin", true}, h, l);
                                }},
                               {kDumpReadingEntries,
                                [](auto& t, auto& h, auto& l) {
                                  RunDumpReading(t, {0, kThree, "image.bin"}, h, l);
                                }},
                               {kDumpComparingEntries,
                                [](auto& t, auto& h, auto& l) {
                                  RunDumpComparing(t, {0, kThree, "image.bin"}, h, l);
                                }},
                               {kMultiPassReadingEntries, [](auto& t, auto& h, auto& l) {
                                  RunMultiPassReading(t, {{0, kThree, "image.bin"}, 2}, h, l);
                                }}};
  for (const Process& process : processes) {
    for (const Entry entry : process.entries) {
      SimSession s(std::string("without_") + drav::EntryName(entry));
      s.ConnectAndSelect(0);
      s.sim->SimCtl_ResetCounts();
      const TransferTarget target{s.library, s.programmer.FlashHandle(), 0};
      const LogSettings log{"DravolinLog.txt", &SystemClock()};
      RecordingHost host;
      const std::string error = SimSession::ErrorOf([&] { process.run(target, host, log); });
      EXPECT_NE(error.find(drav::EntryName(entry)), std::string::npos) << error;
      EXPECT_TRUE(s.sim->SimCtl_TotalCalls() == 0 && !fs::exists(log.path) && !fs::exists("image.bin")) << error;
    }
  }
}

}  // namespace
}  // namespace selvarex::test
