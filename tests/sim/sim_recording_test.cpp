// What the library records about its calls, the failures tests order, and
// the last error text.
#include <cstring>
#include <string>
#include <vector>

#include "sim_fixture.h"

namespace selvarex::test {
namespace {

using drav::Entry;
using Names = std::vector<std::string>;

class SimRecording : public SimTest {};

TEST_F(SimRecording, CountsLogAndArgumentsIncludeFailingCalls) {
  const drav::Handle usb = Api().DravUsbOpen();
  EXPECT_EQ(Api().DravUsbClose(0xBAD), 0);
  EXPECT_EQ(Api().DravFlashRead(0xF1A5, 7, nullptr, 9), 0);
  EXPECT_EQ(Api().DravUsbClose(usb), 1);

  EXPECT_EQ(Sim().CallLog(), (Names{"DravUsbOpen", "DravUsbClose", "DravFlashRead", "DravUsbClose"}));
  EXPECT_EQ(Sim().Calls(Entry::DravUsbClose), 2u);
  EXPECT_EQ(Sim().SimCtl_TotalCalls(), 4u);
  EXPECT_EQ(Sim().LastArgs(Entry::DravUsbClose), std::vector<std::uint32_t>{usb});
  EXPECT_EQ(Sim().LastArgs(Entry::DravFlashRead), (std::vector<std::uint32_t>{0xF1A5, 7, 0, 9}));
  EXPECT_EQ(Sim().SimCtl_LastArgs("DravUsbOpen", nullptr, 0), 0);
  EXPECT_EQ(Sim().SimCtl_LastArgs("DravFlashWrite", nullptr, 0), -1) << "never called";

  Sim().SimCtl_ResetCounts();
  EXPECT_EQ(Sim().SimCtl_TotalCalls(), 0u);
  EXPECT_EQ(Sim().Calls(Entry::DravUsbClose), 0u);
  EXPECT_TRUE(Sim().CallLog().empty());
  EXPECT_EQ(Sim().SimCtl_LastArgs("DravFlashRead", nullptr, 0), -1);
}

TEST_F(SimRecording, ArgumentsAre32BitValuesAndPointersAreFlags) {
  const Objects o = OpenChip();
  std::int32_t running = 0;
  std::uint8_t value = 0;
  Api().DravCounterGet(o.flash, &running, nullptr, &value, nullptr);
  EXPECT_EQ(Sim().LastArgs(Entry::DravCounterGet), (std::vector<std::uint32_t>{o.flash, 1, 0, 1, 0}));
  Api().DravUsbSetTimeOut(o.usb, -1, 70000);
  EXPECT_EQ(Sim().LastArgs(Entry::DravUsbSetTimeOut), (std::vector<std::uint32_t>{o.usb, 0xFFFFFFFF, 70000}));
  Api().DravDevCreateFlash(o.device, o.usb, 0xFFFF);
  EXPECT_EQ(Sim().LastArgs(Entry::DravDevCreateFlash), (std::vector<std::uint32_t>{o.device, o.usb, 0xFFFF}));
}

TEST_F(SimRecording, UnknownNamesChangeNothing) {
  for (const char* name : {"DravFlashReadX", "dravflashread", "SimCtl_Reset", ""}) {
    EXPECT_EQ(Sim().SimCtl_CallCount(name), 0u) << name;
    EXPECT_EQ(Sim().SimCtl_LastArgs(name, nullptr, 0), -1) << name;
    EXPECT_EQ(Sim().SimCtl_FailCall(name, 1, 0, "x"), -1) << name;
  }
  EXPECT_EQ(Sim().SimCtl_CallCount(nullptr), 0u);
  EXPECT_EQ(Sim().SimCtl_FailCall(nullptr, 1, 0, "x"), -1);
  std::uint32_t count = 0;
  EXPECT_EQ(Api().DravUsbDeviceCount(&count), 1);
}

TEST_F(SimRecording, CallLogTellsItsLengthAndIsCutToTheBuffer) {
  std::uint32_t count = 0;
  Api().DravUsbDeviceCount(&count);
  Api().DravDevCreate();
  const std::string whole = "DravUsbDeviceCount,DravDevCreate";
  EXPECT_EQ(Sim().SimCtl_CallLog(nullptr, 0), whole.size());
  char buffer[8];
  std::memset(buffer, '#', sizeof buffer);
  EXPECT_EQ(Sim().SimCtl_CallLog(buffer, 5), whole.size());
  EXPECT_EQ(std::string(buffer), "Drav");
  EXPECT_EQ(buffer[5], '#');
}

TEST_F(SimRecording, CallLogKeepsTheNewestHundredThousand) {
  std::uint32_t count = 0;
  for (int i = 0; i < 100003; ++i) Api().DravUsbDeviceCount(&count);
  Api().DravDevCreate();
  const Names log = Sim().CallLog();
  ASSERT_EQ(log.size(), 100000u);
  EXPECT_EQ(log.back(), "DravDevCreate");
  EXPECT_EQ(Sim().SimCtl_TotalCalls(), 100004u);
}

TEST_F(SimRecording, InjectedFailuresHitTheOrderedCalls) {
  struct Case {
    std::uint32_t nth, count;
    const char* pattern;  // F = the call fails
  };
  for (const Case c : {Case{1, 1, "F......"}, Case{3, 2, "..FF..."}, Case{2, 0, ".FFFFFF"}, Case{0, 1, "F......"}}) {
    Sim().SimCtl_Reset();
    std::uint32_t count = 0;
    Api().DravUsbDeviceCount(&count);  // numbering starts at the order, not at the reset
    Sim().Fail(Entry::DravUsbDeviceCount, c.nth, c.count, "no answer");
    std::string seen;
    for (int i = 0; i < 7; ++i) {
      count = 0xEEEE;
      const bool ok = Api().DravUsbDeviceCount(&count) != 0;
      seen += ok ? '.' : 'F';
      EXPECT_EQ(count, ok ? 1u : 0xEEEEu) << "a failing call wrote its out-value";
    }
    EXPECT_EQ(seen, c.pattern) << c.nth << "/" << c.count;
    EXPECT_EQ(LastError(), std::string("no answer"));
  }
}

TEST_F(SimRecording, InjectedFailureTextsAndClearing) {
  Sim().Fail(Entry::DravDevCreate, 1, 1, nullptr);
  EXPECT_EQ(Api().DravDevCreate(), 0u);
  EXPECT_EQ(LastError(), "Injected failure of DravDevCreate");
  Sim().Fail(Entry::DravDevCreate, 1, 1, "");
  EXPECT_EQ(Api().DravDevCreate(), 0u);
  EXPECT_EQ(LastError(), "");
  std::uint32_t live = 0;
  Sim().SimCtl_LiveObjects(nullptr, &live, nullptr);
  EXPECT_EQ(live, 0u) << "a failing call must do nothing";

  Sim().Fail(Entry::DravDevCreate, 2, 0, "later");
  Sim().SimCtl_ClearFailures();
  for (int i = 0; i < 3; ++i) EXPECT_NE(Api().DravDevCreate(), 0u);
}

TEST_F(SimRecording, LastErrorBufferRules) {
  char text[16];
  std::memset(text, '#', sizeof text);
  EXPECT_EQ(Api().DravGetLastError(text, sizeof text), 0) << "no error yet";
  EXPECT_EQ(text[0], '\0');
  EXPECT_EQ(Api().DravUsbClose(0x1234), 0);
  const std::string error = "Invalid USB handle 0x00001234";
  EXPECT_EQ(Api().DravGetLastError(nullptr, 512), 0);
  EXPECT_EQ(Api().DravGetLastError(text, 0), 0);

  for (std::uint32_t size : {1u, 5u, static_cast<std::uint32_t>(error.size() + 1), 512u}) {
    std::vector<char> buffer(size + 4, '#');
    ASSERT_EQ(Api().DravGetLastError(buffer.data(), size), 1) << size;
    EXPECT_EQ(std::string(buffer.data()), error.substr(0, size - 1)) << size;
    EXPECT_EQ(std::string(buffer.data() + size, 4), "####") << "written beyond size " << size;
  }

  std::uint32_t count = 0;
  EXPECT_EQ(Api().DravUsbDeviceCount(&count), 1);
  EXPECT_EQ(LastError(), error) << "a successful call cleared the error";

  Sim().Fail(Entry::DravGetLastError);
  std::memset(text, '#', sizeof text);
  EXPECT_EQ(Api().DravGetLastError(text, sizeof text), 0);
  EXPECT_EQ(text[0], '#');
  EXPECT_EQ(LastError(), error) << "the failing DravGetLastError replaced the error";

  Sim().SimCtl_Reset();
  EXPECT_EQ(LastError(), "<none>");
}

}  // namespace
}  // namespace selvarex::test
