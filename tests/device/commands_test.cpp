// The single-shot commands: what they send, what they show, how they fail.
#include <gtest/gtest.h>

#include "device/decimal_input.h"
#include "device/device_commands.h"
#include "device/nand_geometry.h"
#include "device/timeout_rule.h"
#include "support/connected_sim.h"

namespace selvarex {
namespace {

using drav::Entry;
using test::SimSession;

struct RecordingReporter : CommandReporter {
  void Show(const std::string& text) override { shown.push_back(text); }
  void ErrorBeep() override { ++beeps; }
  std::vector<std::string> shown;
  int beeps = 0;
};

class Commands : public ::testing::Test {
 protected:
  void SetUp() override {
    s.ConnectAndSelect(0);
    ASSERT_TRUE(s.programmer.HasFlash());
    s.sim->SimCtl_ResetCounts();
  }
  SimSession s;
  RecordingReporter reporter;
};

TEST_F(Commands, EachCommandShowsItsTextAndFailsWithTheLibraryText) {
  using Run = void (*)(Programmer&, CommandReporter&);
  struct Case {
    const char* name;
    Run run;
    Entry entry;
    const char* shown;  // nullptr: shows nothing on success
  };
  const Case cases[] = {
      {"ResetPld", [](Programmer& p, CommandReporter&) { commands::ResetPld(p); }, Entry::DravUsbResetPLD, nullptr},
      {"Reset", [](Programmer& p, CommandReporter&) { commands::ResetProgrammer(p); }, Entry::DravUsbReset, nullptr},
      {"SetTimeOut", [](Programmer& p, CommandReporter&) { commands::SetTimeOut(p, 1, 2); }, Entry::DravUsbSetTimeOut,
       nullptr},
      {"EraseAll", commands::EraseAll, Entry::DravFlashEraseAll, "Device Erased!"},
      {"FlashReset", commands::FlashReset, Entry::DravFlashReset, "Reset OK!"},
      {"DevEnter", commands::DevEnter, Entry::DravUsbDEVEnter, "DevEnter done!"},
      {"DevExit", commands::DevExit, Entry::DravUsbDEVExit, "DevExit done!"},
  };
  for (const Case& c : cases) {
    reporter.shown.clear();
    c.run(s.programmer, reporter);
    EXPECT_EQ(reporter.shown, c.shown ? std::vector<std::string>{c.shown} : std::vector<std::string>{}) << c.name;

    reporter.shown.clear();
    s.sim->Fail(c.entry, 1, 1, "command failed");
    EXPECT_EQ(SimSession::ErrorOf([&] { c.run(s.programmer, reporter); }), "command failed") << c.name;
    EXPECT_TRUE(reporter.shown.empty()) << c.name << " showed a result after a failure";
  }
}

TEST_F(Commands, SetTimeOutSendsHandleRxTxInThatOrder) {
  commands::SetTimeOut(s.programmer, 100, 200);
  EXPECT_EQ(s.sim->LastArgs(Entry::DravUsbSetTimeOut),
            (std::vector<std::uint32_t>{s.programmer.UsbHandle(), 100, 200}));
}

TEST_F(Commands, DevEnterTriesUpTo50TimesThenBeepsAndReportsFailure) {
  struct Case {
    std::vector<std::uint8_t> statuses;
    std::uint32_t calls;
    const char* shown;
    int beeps;
  };
  std::vector<std::uint8_t> late(49, 0x00);
  late.push_back(0x81);
  const Case cases[] = {
      {{0x81}, 1, "DevEnter done!", 0},
      {late, 50, "DevEnter done!", 0},
      {std::vector<std::uint8_t>(60, 0x80), 50, "DevEnter failed!", 1},
  };
  for (const Case& c : cases) {
    s.sim->SimCtl_ResetCounts();
    reporter = {};
    s.sim->SimCtl_ScriptDevStatus(0, c.statuses.data(), static_cast<std::uint32_t>(c.statuses.size()));
    commands::DevEnter(s.programmer, reporter);
    EXPECT_EQ(s.sim->Calls(Entry::DravUsbDEVEnter), c.calls);
    EXPECT_EQ(reporter.shown, std::vector<std::string>{c.shown});
    EXPECT_EQ(reporter.beeps, c.beeps);
  }
}

TEST_F(Commands, DevExitTakesOnly0x80AsSuccess) {
  const std::vector<std::uint8_t> entered(50, 0x81);
  s.sim->SimCtl_ScriptDevStatus(1, entered.data(), 50);
  commands::DevExit(s.programmer, reporter);
  EXPECT_EQ(s.sim->Calls(Entry::DravUsbDEVExit), 50u);
  EXPECT_EQ(reporter.shown, std::vector<std::string>{"DevExit failed!"});
  EXPECT_EQ(reporter.beeps, 1);
}

TEST_F(Commands, DevEnterFailureEndsTheAttemptsAtOnce) {
  const std::vector<std::uint8_t> misses(10, 0x00);
  s.sim->SimCtl_ScriptDevStatus(0, misses.data(), 10);
  s.sim->Fail(Entry::DravUsbDEVEnter, 3, 1, "usb stall");
  EXPECT_EQ(SimSession::ErrorOf([&] { commands::DevEnter(s.programmer, reporter); }), "usb stall");
  EXPECT_EQ(s.sim->Calls(Entry::DravUsbDEVEnter), 3u);
  EXPECT_EQ(reporter.beeps, 0);
}

TEST_F(Commands, BlankCheckComparesUnsigned) {
  commands::EraseAll(s.programmer, reporter);
  reporter.shown.clear();
  commands::BlankCheck(s.programmer, reporter);
  EXPECT_EQ(reporter.shown, std::vector<std::string>{"Device is Blank!"});

  // One programmed byte near the end makes the blank result smaller than the size.
  const std::uint8_t zero = 0;
  s.sim->SimCtl_WriteRaw(0, 1024 * nand::kBlockSize - 1, &zero, 1);
  reporter.shown.clear();
  commands::BlankCheck(s.programmer, reporter);
  EXPECT_EQ(reporter.shown, std::vector<std::string>{"Device is not Blank!"});
}

TEST_F(Commands, BlankCheckNeverClaimsBlankFromValuesTheLibraryDidNotWrite) {
  commands::EraseAll(s.programmer, reporter);
  reporter.shown.clear();
  s.sim->SimCtl_Misbehave(kSimSkipOutValues);
  commands::BlankCheck(s.programmer, reporter);
  EXPECT_EQ(reporter.shown, std::vector<std::string>{"Device is not Blank!"});
}

TEST_F(Commands, GetSizeIsUnsignedDecimal) {
  commands::GetDeviceSize(s.programmer, reporter);
  EXPECT_EQ(reporter.shown, std::vector<std::string>{"Device Size is 138412032"});

  // 20000 blocks are beyond 2^31 bytes: never a minus sign.
  s.sim->SimCtl_SetBlockCount(0, 20000);
  reporter.shown.clear();
  commands::GetDeviceSize(s.programmer, reporter);
  EXPECT_EQ(reporter.shown, std::vector<std::string>{"Device Size is 2703360000"});
}

TEST_F(Commands, EraseAllKeepsFactoryBadBlocksMarked) {
  commands::EraseAll(s.programmer, reporter);
  EXPECT_NE(s.sim->ReadRaw(0, 37 * nand::kBlockSize + nand::kMarkerOffset, 1)[0], 0xFF);
  EXPECT_EQ(s.sim->ReadRaw(0, 36 * nand::kBlockSize + nand::kMarkerOffset, 1)[0], 0xFF);
}

TEST(TimeoutRule, BothFieldsMustBeNonNegative32BitIntegers) {
  struct Case {
    const char* rx;
    const char* tx;
    bool ok;
  };
  for (const Case c :
       {Case{"5000", "5000", true}, Case{"0", "0", true}, Case{"2147483647", "1", true}, Case{"-1", "5000", false},
        Case{"5000", "", false}, Case{"abc", "1", false}, Case{"4294967296", "1", false},
        Case{"1", "2147483648", false}, Case{" 1", "1", false}, Case{"1", "1x", false}}) {
    EXPECT_EQ(TimeoutOkEnabled(c.rx, c.tx), c.ok) << '"' << c.rx << "\" \"" << c.tx << '"';
  }
}

TEST(DecimalInput, ConvertsSigned32BitDecimalOnly) {
  EXPECT_EQ(StrToInt32("0"), 0);
  EXPECT_EQ(StrToInt32("-2147483648"), INT32_MIN);
  EXPECT_EQ(StrToInt32("+17"), 17);
  EXPECT_EQ(StrToInt32("2147483647"), INT32_MAX);
  EXPECT_FALSE(StrToInt32("2147483648"));
  EXPECT_FALSE(StrToInt32("-2147483649"));
  EXPECT_FALSE(StrToInt32("99999999999999999999999"));
  EXPECT_FALSE(StrToInt32("-"));
  EXPECT_FALSE(StrToInt32("0x10"));
  EXPECT_FALSE(StrToInt32(""));
}

}  // namespace
}  // namespace selvarex
