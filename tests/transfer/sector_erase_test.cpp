// The sector erase process against the simulated chip.
#include <gtest/gtest.h>

#include "device/errors.h"
#include "transfer/sector_erase.h"
#include "transfer_fixture.h"

namespace selvarex::test {
namespace {

using drav::Entry;
const std::string kStart = "START ERASE SECTORS PROCESS: ", kEnd = "END ERASE SECTORS PROCESS: ";

class SectorErase : public TransferTest {
 protected:
  ProcessResult Run(std::uint32_t address, std::int32_t end, bool verify = true) {
    return RunSectorErase(Target(), {static_cast<std::int32_t>(address), end, verify}, host, settings);
  }
};

TEST_F(SectorErase, DefaultRunSkipsBadBlocksAndCountsOnlySuccessfulErases) {
  MarkBad(3);  // besides the chip's own 37, 402 and 1000
  const auto block3 = Chip(3);
  s.sim->Fail(Entry::DravFlashEraseSector, 10);  // block 10
  EXPECT_EQ(Run(0, 1024).message,
            "1019 Sector/s Erased.\n\n4 bad block/s has been skipped.\n1 NAND Erase Error/s has "
            "occured.\n\nCheck the log for the details.");
  EXPECT_EQ(Log(), Section(kStart,
                           {"Erase cycle #4/1024, NAND Bad Block #1 found at Address: 405504 (dec)",
                            "Erase cycle #11/1024, Flash Erase Error #1 occured at Address: 1351680 (dec)",
                            "Erase cycle #38/1024, NAND Bad Block #2 found at Address: 5001216 (dec)",
                            "Erase cycle #403/1024, NAND Bad Block #3 found at Address: 54337536 (dec)",
                            "Erase cycle #1001/1024, NAND Bad Block #4 found at Address: 135168000 (dec)",
                            "Flash0 1019 sectors erased, 4 bad block/s has been skipped."},
                           kEnd));
  EXPECT_EQ(std::tuple(Calls(Entry::DravFlashRead), Calls(Entry::DravFlashEraseSector), host.blocksDone),
            std::tuple(1024u, 1020u, 1024u));
  EXPECT_TRUE(host.ranges.empty()) << "the window sets the erase range before its dialog";
  EXPECT_EQ(Chip(3), block3);
}

TEST_F(SectorErase, SecondNumberIsAnEndBlockAndBlock511IsExempt) {
  struct Case {
    std::uint32_t address;
    std::int32_t end;
    std::vector<std::uint32_t> erased;
  };
  MarkBad(12);
  MarkBad(nand::kExemptBlock);
  for (const Case& c :
       {Case{10 * B, 15, {10, 11, 13, 14}}, Case{0, 0, {}}, Case{10 * B, 5, {}}, Case{100, 1, {0}} /* rounded down */,
        Case{nand::kExemptBlock * B, nand::kExemptBlock + 1, {nand::kExemptBlock}}}) {
    s.sim->SimCtl_ResetCounts();
    const std::string message = Run(c.address, c.end, false).message;
    EXPECT_EQ(message.substr(0, message.find(" bad")), std::to_string(c.erased.size()) + " Sector/s Erased.\n\n" +
                                                           (c.address == 10 * B && c.end == 15 ? "1" : "0"));
    EXPECT_EQ(Calls(Entry::DravFlashEraseSector), c.erased.size()) << c.address << ".." << c.end;
    for (std::uint32_t b : c.erased) EXPECT_EQ(Chip(b), kErased) << b;
  }
  EXPECT_NE(Log().find("\r\n> Erase cycle #13/15, NAND Bad Block #1 found at Address: 1622016 (dec)\r\n\r\n> "
                       "Flash0 4 sectors erased, 1 bad block/s has been skipped.\r\n"),
            std::string::npos);
  EXPECT_EQ(s.sim->LastArgs(Entry::DravFlashSetWVerify), (std::vector<std::uint32_t>{s.programmer.FlashHandle(), 0}));
}

TEST_F(SectorErase, UnreadableMarkerCountsAsBadExceptForBlock511) {
  const auto block1 = Chip(1);
  s.sim->Fail(Entry::DravFlashRead, 2);  // block 1, after a good block 0
  Run(0, 3);
  EXPECT_EQ(Log(), Section(kStart,
                           {"Erase cycle #2/3, Flash Read Error occured at Address: 137216  (dec), while "
                            "checking OOB bad block byte.",
                            "Erase cycle #2/3, NAND Bad Block #1 found at Address: 135168 (dec)",
                            "Flash0 2 sectors erased, 1 bad block/s has been skipped."},
                           kEnd));
  EXPECT_EQ(Chip(1), block1);
  s.sim->Fail(Entry::DravFlashRead, 1);
  EXPECT_EQ(Run(nand::kExemptBlock * B, nand::kExemptBlock + 1).message.substr(0, 19), "1 Sector/s Erased.\n");
}

TEST_F(SectorErase, EndBlockPast32BitAddressesIsRefusedBeforeAnythingHappens) {
  EXPECT_THROW(Run(0, 31776), Exception);
  EXPECT_TRUE(s.sim->SimCtl_TotalCalls() == 0 && !std::filesystem::exists(settings.path));
}

}  // namespace
}  // namespace selvarex::test
