// Device time: counted for every call whether or not calls really wait.
#include <vector>

#include "sim_fixture.h"

namespace selvarex::test {
namespace {

class SimTiming : public SimTest {
 protected:
  // Device time one call adds.
  template <typename Call>
  std::uint64_t TimeOf(Call&& call) {
    const std::uint64_t before = Sim().SimCtl_SimulatedTimeNs();
    call();
    return Sim().SimCtl_SimulatedTimeNs() - before;
  }
  Objects o = OpenChip();
};

TEST_F(SimTiming, EveryCallCostsAtLeastAMicroframe) {
  std::uint32_t count = 0;
  EXPECT_EQ(TimeOf([&] { Api().DravUsbDeviceCount(&count); }), 125'000u);
  EXPECT_EQ(TimeOf([&] { Api().DravUsbClose(0x5); }), 125'000u) << "failing calls talk to the device too";
  Sim().Fail(drav::Entry::DravUsbDeviceCount);
  EXPECT_EQ(TimeOf([&] { Api().DravUsbDeviceCount(&count); }), 125'000u);
  EXPECT_GT(Sim().SimCtl_SimulatedTimeNs(), 0u);
  Sim().SimCtl_ResetCounts();
  EXPECT_EQ(Sim().SimCtl_SimulatedTimeNs(), 0u);
}

TEST_F(SimTiming, DataAndChipWorkCostInProportion) {
  std::vector<std::uint8_t> block(kBlock, 0xFF);
  const auto readByte = TimeOf([&] { Api().DravFlashRead(o.flash, 0, block.data(), 1); });
  const auto readBlock = TimeOf([&] { Api().DravFlashRead(o.flash, 0, block.data(), kBlock); });
  const auto readTwoPages = TimeOf([&] { Api().DravFlashRead(o.flash, 2111, block.data(), 2); });
  const auto erase = TimeOf([&] { Api().DravFlashEraseSector(o.flash, 0); });
  Api().DravFlashSetWVerify(o.flash, 0);
  const auto write = TimeOf([&] { Api().DravFlashWrite(o.flash, 0, block.data(), kBlock); });
  Api().DravFlashSetWVerify(o.flash, 1);
  const auto writeVerified = TimeOf([&] { Api().DravFlashWrite(o.flash, 0, block.data(), kBlock); });

  // A byte: command, one page and 18 ns on the wire; a block: 64 pages and
  // 135168 bytes at 53.248 MB/s.
  EXPECT_EQ(readByte, 125'000u + 25'000u + 18u);
  EXPECT_EQ(readTwoPages, 125'000u + 2 * 25'000u + 37u);
  EXPECT_EQ(readBlock, 125'000u + 64 * 25'000u + 2'538'461u);
  EXPECT_EQ(erase, 125'000u + 2'000'000u);
  EXPECT_EQ(write, 125'000u + 2'538'461u + 64 * 200'000u);
  EXPECT_EQ(writeVerified, write + 64 * 25'000u);
}

TEST_F(SimTiming, RealisticCallsLastAtLeastTheirDeviceTime) {
  Sim().SimCtl_SetTiming(1);
  Sim().SimCtl_ResetCounts();
  Api().DravFlashEraseSector(o.flash, 0);
  Api().DravFlashEraseSector(o.flash, kBlock);
  Sim().SimCtl_SetTiming(0);
  EXPECT_EQ(Sim().SimCtl_SimulatedTimeNs(), 2 * 2'125'000u);
  EXPECT_GE(Sim().SimCtl_TimeInCallsNs(), 2 * 2'125'000u);
  Sim().SimCtl_ResetCounts();
  EXPECT_EQ(Sim().SimCtl_TimeInCallsNs(), 0u);
}

TEST_F(SimTiming, EraseAllCostsOneEraseForEachGoodBlock) {
  ASSERT_EQ(Sim().SimCtl_SetBlockCount(0, 40), 0);  // block 37 is bad
  EXPECT_EQ(TimeOf([&] { Api().DravFlashEraseAll(o.flash); }), 125'000u + 39 * 2'000'000u);
}

}  // namespace
}  // namespace selvarex::test
