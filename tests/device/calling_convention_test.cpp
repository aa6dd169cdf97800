// Every one of the 36 entry points called through the program's table, round
// after round. On 32-bit Windows a function type whose calling convention
// differs from the library's leaves the stack pointer off by the size of the
// arguments after every call: the caller's locals and saved registers drift
// out of place, so results, out-values or the return address go wrong long
// before 2000 rounds are over.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "device/nand_geometry.h"
#include "support/connected_sim.h"

namespace selvarex {
namespace {

using drav::Entry;
using test::SimSession;

constexpr std::uint32_t kRounds = 2000;
constexpr std::uint32_t kBlock = nand::kBlockSize;
constexpr std::uint32_t kBlocks = 2;  // a small chip 0: erasing and blank checks stay quick
constexpr std::uint16_t kChipIds[2] = {0xC3A1, 0x2B74};
const char* const kFullNames[2] = {"VK9N1G08 1 Gbit NAND", "QL4F1G8R 1 Gbit NAND"};
const char* const kMakers[2] = {"Veltrane", "Orvessa Semiconductor"};

// A block that differs from round to round and holds no 0xFF, so a blank
// check finds its first byte.
std::vector<std::uint8_t> Pattern(std::uint32_t round) {
  std::vector<std::uint8_t> bytes(kBlock);
  for (std::uint32_t i = 0; i < kBlock; ++i) bytes[i] = static_cast<std::uint8_t>((i * 7 + round) % 255);
  return bytes;
}

class CallingConvention : public ::testing::Test {
 protected:
  void SetUp() override {
    s.sim->SimCtl_SetTiming(0);
    ASSERT_EQ(s.sim->SimCtl_SetBlockCount(0, kBlocks), 0);
    s.sim->SimCtl_ResetCounts();
  }

  // The values this round's calls must report, set in the model beforehand.
  void Prepare(std::uint32_t r) const {
    const test::SimControl& sim = *s.sim;
    sim.SimCtl_SetDeviceCount(1 + r % 3);
    sim.SimCtl_SetVersions(r, r + 1, r + 2, r + 3, static_cast<std::uint16_t>(r * 5));
    sim.SimCtl_SetPld(static_cast<std::uint16_t>(r + 7), r * 3);
    const std::uint8_t enter = static_cast<std::uint8_t>(r), exit = static_cast<std::uint8_t>(~r);
    sim.SimCtl_ScriptDevStatus(0, &enter, 1);
    sim.SimCtl_ScriptDevStatus(1, &exit, 1);
    const SimCounterPoll poll{static_cast<std::int32_t>(r % 2), r * 11, static_cast<std::uint8_t>(r + 3),
                              static_cast<std::int32_t>(r % 3 == 0)};
    sim.SimCtl_ScriptCounter(&poll, 1);
  }

  // One round: every entry point once (DravUsbSetTimeOut and DravFlashBlank
  // twice), each result and out-value checked.
  void Round(std::uint32_t r) {
    const drav::EntryTable& api = s.library.Api();
    SCOPED_TRACE("round " + std::to_string(r));
    Prepare(r);

    std::uint32_t count = 0, high = 0, low = 0;
    ASSERT_EQ(api.DravUsbDeviceCount(&count), 1);
    EXPECT_EQ(count, 1 + r % 3);
    ASSERT_EQ(api.DravUsbGetDLLVersion(&high, &low), 1);
    EXPECT_EQ(high, r);
    EXPECT_EQ(low, r + 1);
    ASSERT_EQ(api.DravUsbGetDriverVersion(&high, &low), 1);
    EXPECT_EQ(high, r + 2);
    EXPECT_EQ(low, r + 3);

    const drav::Handle usb = api.DravUsbOpen();
    ASSERT_NE(usb, 0u);
    EXPECT_EQ(api.DravUsbSetTimeOut(usb, static_cast<std::int32_t>(r), static_cast<std::int32_t>(2 * r)), 1);
    // A refused call, to carry this round's arguments into the last error.
    EXPECT_EQ(api.DravUsbSetTimeOut(usb, -1 - static_cast<std::int32_t>(r), static_cast<std::int32_t>(r)), 0);
    char error[drav::kLastErrorBufferSize];
    ASSERT_EQ(api.DravGetLastError(error, sizeof error), 1);
    EXPECT_STREQ(
        error,
        ("Negative time-out (receive -" + std::to_string(r + 1) + ", transmit " + std::to_string(r) + ")").c_str());
    EXPECT_EQ(api.DravUsbResetPLD(usb), 1);
    EXPECT_EQ(api.DravUsbReset(usb), 1);

    std::uint16_t u16 = 0;
    std::uint32_t u32 = 0;
    std::uint8_t u8 = 0;
    ASSERT_EQ(api.DravUsbGetLoaderVersion(usb, &u16), 1);
    EXPECT_EQ(u16, static_cast<std::uint16_t>(r * 5));
    ASSERT_EQ(api.DravUsbGetPldStatus(usb, &u32), 1);
    EXPECT_EQ(u32, r * 3);
    ASSERT_EQ(api.DravUsbGetPLDID(usb, &u16), 1);
    EXPECT_EQ(u16, static_cast<std::uint16_t>(r + 7));
    ASSERT_EQ(api.DravUsbDEVEnter(usb, &u8), 1);
    EXPECT_EQ(u8, static_cast<std::uint8_t>(r));
    ASSERT_EQ(api.DravUsbDEVExit(usb, &u8), 1);
    EXPECT_EQ(u8, static_cast<std::uint8_t>(~r));

    const std::uint32_t chip = r % 2;
    ASSERT_EQ(api.DravUsbSelectFlash(usb, chip), 1);
    ASSERT_EQ(api.GetFlashID(usb, &u16), 1);
    EXPECT_EQ(u16, kChipIds[chip]);

    const drav::Handle device = api.DravDevCreate();
    ASSERT_NE(device, 0u);
    ASSERT_EQ(api.DravDevGetFlashID(device, usb, &u16), 1);
    EXPECT_EQ(u16, kChipIds[chip]);
    ASSERT_EQ(api.DravDevIsSupported(device, kChipIds[chip], &u32), 1);
    EXPECT_EQ(u32, chip == 0 ? 1u : 0u);  // flash 1 is a production-only type
    u32 = 7;
    ASSERT_EQ(api.DravDevIsProdSupported(device, kChipIds[chip], &u32), 1);
    EXPECT_EQ(u32, 1u);
    char name[drav::kNameBufferSize];
    ASSERT_EQ(api.DravDevGetFullName(device, kChipIds[chip], name, sizeof name), 1);
    EXPECT_STREQ(name, kFullNames[chip]);
    ASSERT_EQ(api.DravDevGetProdName(device, kChipIds[chip], name, sizeof name), 1);
    EXPECT_STREQ(name, kMakers[chip]);
    EXPECT_EQ(api.DravDevSetWVerify(device, r % 2), 1);

    const drav::Handle flash = api.DravDevCreateFlash(device, usb, kChipIds[0]);
    ASSERT_NE(flash, 0u);
    ASSERT_EQ(api.DravFlashGetDeviceSize(flash, &u32), 1);
    EXPECT_EQ(u32, kBlocks * kBlock);
    ASSERT_EQ(api.DravFlashSetWVerify(flash, r % 2), 1);
    EXPECT_EQ(s.sim->SimCtl_WriteVerify(0), static_cast<std::int32_t>(r % 2));
    ASSERT_EQ(api.DravFlashEraseAll(flash), 1);
    ASSERT_EQ(api.DravFlashBlank(flash, &u32), 1);
    EXPECT_EQ(u32, kBlocks * kBlock);

    const std::uint32_t address = (r % kBlocks) * kBlock;
    const std::vector<std::uint8_t> pattern = Pattern(r);
    ASSERT_EQ(api.DravFlashEraseSector(flash, address), 1);
    ASSERT_EQ(api.DravFlashWrite(flash, address, pattern.data(), kBlock), 1);
    // A read of a different length and offset each round.
    const std::uint32_t offset = (r * 131) % 4096, length = 1 + (r * 97) % 8192;
    std::vector<std::uint8_t> read(length + 1, 0xEE);
    ASSERT_EQ(api.DravFlashRead(flash, address + offset, read.data(), length), 1);
    EXPECT_EQ(std::memcmp(read.data(), pattern.data() + offset, length), 0);
    EXPECT_EQ(read[length], 0xEE);
    ASSERT_EQ(api.DravFlashBlank(flash, &u32), 1);
    EXPECT_EQ(u32, address);
    EXPECT_EQ(api.DravFlashReset(flash), 1);

    EXPECT_EQ(api.DravCounterReset(flash), 1);
    EXPECT_EQ(api.DravCounterStart(flash), 1);
    std::int32_t running = -1, timedOut = -1;
    std::uint32_t ticks = 0;
    std::uint8_t value = 0;
    ASSERT_EQ(api.DravCounterGet(flash, &running, &ticks, &value, &timedOut), 1);
    EXPECT_EQ(running, static_cast<std::int32_t>(r % 2));
    EXPECT_EQ(ticks, r * 11);
    EXPECT_EQ(value, static_cast<std::uint8_t>(r + 3));
    EXPECT_EQ(timedOut, r % 3 == 0 ? 1 : 0);

    EXPECT_EQ(api.DravDevDestroy(device), 1);
    EXPECT_EQ(api.DravUsbClose(usb), 1);
  }

  SimSession s;
};

TEST_F(CallingConvention, EveryEntryManyTimesThroughTheTable) {
  for (std::uint32_t r = 0; r < kRounds && !HasFailure(); ++r) Round(r);
  ASSERT_FALSE(HasFailure());

  // Every entry really went through the table, each round, with the last
  // round's arguments arriving as given.
  for (std::size_t i = 0; i < drav::kEntryCount; ++i) {
    const Entry e = static_cast<Entry>(i);
    const bool twice = e == Entry::DravUsbSetTimeOut || e == Entry::DravFlashBlank;
    EXPECT_EQ(s.sim->Calls(e), twice ? 2 * kRounds : kRounds) << drav::kEntryNames[i];
  }
  const std::uint32_t last = kRounds - 1;
  EXPECT_EQ(s.sim->LastArgs(Entry::DravFlashRead)[1], (last % kBlocks) * kBlock + (last * 131) % 4096);
  EXPECT_EQ(s.sim->LastArgs(Entry::DravFlashRead)[3], 1 + (last * 97) % 8192);
  EXPECT_EQ(s.sim->LastArgs(Entry::DravDevCreateFlash)[2], kChipIds[0]);
  std::uint32_t usbHandles = 9, devices = 9, flashes = 9;
  s.sim->SimCtl_LiveObjects(&usbHandles, &devices, &flashes);
  EXPECT_EQ(usbHandles + devices + flashes, 0u) << "objects left open";
}

}  // namespace
}  // namespace selvarex
