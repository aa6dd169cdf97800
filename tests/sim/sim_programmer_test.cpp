// The programmer, its handles and objects, its DEV switches and its counter.
#include <string>
#include <vector>

#include "sim/sim_control.h"
#include "sim_fixture.h"

namespace selvarex::test {
namespace {

using drav::Entry;

class SimProgrammer : public SimTest {
 protected:
  struct Live {
    std::uint32_t usb, devices, flashes;
    bool operator==(const Live&) const = default;
  };
  Live LiveObjects() {
    Live l{};
    Sim().SimCtl_LiveObjects(&l.usb, &l.devices, &l.flashes);
    return l;
  }
};

TEST_F(SimProgrammer, ReportsItsFactorySettings) {
  std::uint32_t count = 0, high = 0, low = 0, status = 9;
  ASSERT_EQ(Api().DravUsbDeviceCount(&count), 1);
  EXPECT_EQ(count, 1u);
  ASSERT_EQ(Api().DravUsbGetDLLVersion(&high, &low), 1);
  EXPECT_EQ(high, 0x00010002u);
  EXPECT_EQ(low, 0x00030004u);
  ASSERT_EQ(Api().DravUsbGetDriverVersion(&high, &low), 1);
  EXPECT_EQ(high, 0x00050006u);
  EXPECT_EQ(low, 0x00070008u);
  const drav::Handle usb = Api().DravUsbOpen();
  std::uint16_t loader = 0, pld = 0;
  ASSERT_EQ(Api().DravUsbGetLoaderVersion(usb, &loader), 1);
  EXPECT_EQ(loader, 0x0102);
  ASSERT_EQ(Api().DravUsbGetPldStatus(usb, &status), 1);
  EXPECT_EQ(status, 0u);
  ASSERT_EQ(Api().DravUsbGetPLDID(usb, &pld), 1);
  EXPECT_EQ(pld, 3);

  Sim().SimCtl_SetVersions(1, 2, 3, 4, 5);
  Sim().SimCtl_SetPld(77, 1);
  Api().DravUsbGetDriverVersion(&high, &low);
  Api().DravUsbGetLoaderVersion(usb, &loader);
  Api().DravUsbGetPLDID(usb, &pld);
  EXPECT_EQ(high, 3u);
  EXPECT_EQ(low, 4u);
  EXPECT_EQ(loader, 5);
  EXPECT_EQ(pld, 77);
}

TEST_F(SimProgrammer, OpeningReplacesTheHandleAndClosingEndsIt) {
  Sim().SimCtl_SetDeviceCount(0);
  EXPECT_EQ(Api().DravUsbOpen(), 0u);
  EXPECT_EQ(LastError(), "No Dravolin programmer is connected");
  Sim().SimCtl_SetDeviceCount(1);
  const drav::Handle first = Api().DravUsbOpen();
  const drav::Handle second = Api().DravUsbOpen();
  ASSERT_NE(first, 0u);
  ASSERT_NE(second, 0u);
  EXPECT_NE(first, second);
  EXPECT_EQ(Api().DravUsbReset(first), 0) << "the first handle outlived the second open";
  EXPECT_EQ(
      LastError(), "Invalid USB handle " + [&] {
        char hex[16];
        std::snprintf(hex, sizeof hex, "0x%08X", first);
        return std::string(hex);
      }());
  EXPECT_EQ(Api().DravUsbReset(second), 1);
  EXPECT_EQ(Api().DravUsbResetPLD(second), 1);
  EXPECT_EQ(LiveObjects(), (Live{1, 0, 0}));
  EXPECT_EQ(Api().DravUsbClose(second), 1);
  EXPECT_EQ(Api().DravUsbClose(second), 0);
  EXPECT_EQ(Api().DravUsbReset(second), 0);
  EXPECT_EQ(LiveObjects(), (Live{0, 0, 0}));
}

TEST_F(SimProgrammer, ObjectsLiveUntilDestroyedOrReset) {
  const Objects o = OpenChip();
  ASSERT_NE(o.flash, 0u);
  const drav::Handle other = Api().DravDevCreate();
  const drav::Handle otherFlash = Api().DravDevCreateFlash(other, o.usb, 0xC3A1);
  ASSERT_NE(otherFlash, 0u);
  EXPECT_EQ(LiveObjects(), (Live{1, 2, 2}));

  EXPECT_EQ(Api().DravDevDestroy(o.device), 1);
  EXPECT_EQ(LiveObjects(), (Live{1, 1, 1}));
  EXPECT_EQ(Api().DravFlashReset(o.flash), 0) << "a flash object outlived its device object";
  EXPECT_EQ(LastError().rfind("Invalid flash object 0x", 0), 0u);
  EXPECT_EQ(Api().DravFlashReset(otherFlash), 1);
  EXPECT_EQ(Api().DravDevDestroy(o.device), 0);

  // Handles of one kind are not taken for another.
  EXPECT_EQ(Api().DravFlashReset(other), 0);
  EXPECT_EQ(Api().DravDevDestroy(otherFlash), 0);
  EXPECT_EQ(Api().DravUsbReset(other), 0);

  Sim().SimCtl_Reset();
  EXPECT_EQ(LiveObjects(), (Live{0, 0, 0}));
  EXPECT_EQ(Api().DravFlashReset(otherFlash), 0) << "a handle survived the reset";
  EXPECT_EQ(Api().DravDevDestroy(other), 0);
}

TEST_F(SimProgrammer, FlashObjectsOnlyForKnownSupportedChips) {
  const drav::Handle usb = Api().DravUsbOpen();
  const drav::Handle device = Api().DravDevCreate();
  struct Case {
    const char* name;
    drav::Handle device, usb;
    std::uint16_t id;
    const char* error;
  };
  const Case cases[] = {
      {"unknown ID", device, usb, 0x1234, "Unknown flash ID 0x1234"},
      {"unsupported chip", device, usb, 0x2B74, "Flash ID 0x2B74 is not supported"},
      {"bad device", 0x99, usb, 0xC3A1, "Invalid device object 0x00000099"},
      {"bad handle", device, 0x99, 0xC3A1, "Invalid USB handle 0x00000099"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Api().DravDevCreateFlash(c.device, c.usb, c.id), 0u) << c.name;
    EXPECT_EQ(LastError(), c.error) << c.name;
  }
  struct Flags {
    std::uint32_t id, supported, prod;
  };
  for (const Flags f : {Flags{0xC3A1, 1, 1}, Flags{0x2B74, 0, 1}, Flags{0x1234, 0, 0}, Flags{0x1C3A1, 0, 0}}) {
    std::uint32_t flag = 7;
    ASSERT_EQ(Api().DravDevIsSupported(device, f.id, &flag), 1);
    EXPECT_EQ(flag, f.supported) << std::hex << f.id;
    ASSERT_EQ(Api().DravDevIsProdSupported(device, f.id, &flag), 1);
    EXPECT_EQ(flag, f.prod) << std::hex << f.id;
  }
  EXPECT_EQ(Api().DravDevSetWVerify(device, 0), 1);
  EXPECT_EQ(Api().DravDevSetWVerify(0x99, 0), 0);
}

TEST_F(SimProgrammer, SelectionChoosesTheChipWhoseIdIsRead) {
  const drav::Handle usb = Api().DravUsbOpen();
  const drav::Handle device = Api().DravDevCreate();
  std::uint16_t id = 0, devId = 0;
  for (const auto& [index, expected] : {std::pair<std::uint32_t, int>{1, 0x2B74}, {0, 0xC3A1}}) {
    ASSERT_EQ(Api().DravUsbSelectFlash(usb, index), 1);
    ASSERT_EQ(Api().GetFlashID(usb, &id), 1);
    ASSERT_EQ(Api().DravDevGetFlashID(device, usb, &devId), 1);
    EXPECT_EQ(id, expected);
    EXPECT_EQ(devId, expected);
  }
  EXPECT_EQ(Api().DravUsbSelectFlash(usb, 2), 0);
  EXPECT_FALSE(LastError().empty());
  Api().GetFlashID(usb, &id);
  EXPECT_EQ(id, 0xC3A1) << "a refused selection changed the chip";
  EXPECT_EQ(Api().DravUsbSelectFlash(0, 1), 0);

  Sim().SimCtl_SetChip(1, 0x00EC, "Other", nullptr, 1, 0);
  Api().DravUsbSelectFlash(usb, 1);
  Api().GetFlashID(usb, &id);
  EXPECT_EQ(id, 0x00EC);
  char name[16];
  Api().DravDevGetProdName(device, 0x00EC, name, sizeof name);
  EXPECT_EQ(std::string(name), "Orvessa Semicon") << "a null name must keep the maker";
}

TEST_F(SimProgrammer, TimeOutsMustNotBeNegative) {
  const drav::Handle usb = Api().DravUsbOpen();
  EXPECT_EQ(Api().DravUsbSetTimeOut(usb, 0, 2147483647), 1);
  EXPECT_EQ(Api().DravUsbSetTimeOut(usb, -1, 5), 0);
  EXPECT_EQ(Api().DravUsbSetTimeOut(usb, 5, -2147483647 - 1), 0);
  EXPECT_NE(LastError().find("-2147483648"), std::string::npos) << LastError();
}

TEST_F(SimProgrammer, DevSwitchesFollowTheirScriptsThenTheDefaults) {
  const drav::Handle usb = Api().DravUsbOpen();
  const std::uint8_t enter[] = {0x00, 0x7F};
  const std::uint8_t exit[] = {0x01};
  Sim().SimCtl_ScriptDevStatus(0, enter, 2);
  Sim().SimCtl_ScriptDevStatus(1, exit, 1);
  std::vector<int> entered, exited;
  for (int i = 0; i < 3; ++i) {
    std::uint8_t status = 0;
    Api().DravUsbDEVEnter(usb, &status);
    entered.push_back(status);
    Api().DravUsbDEVExit(usb, &status);
    exited.push_back(status);
  }
  EXPECT_EQ(entered, (std::vector<int>{0x00, 0x7F, 0x81}));
  EXPECT_EQ(exited, (std::vector<int>{0x01, 0x80, 0x80}));

  // A failing call takes no status from the script.
  Sim().SimCtl_ScriptDevStatus(0, enter, 2);
  std::uint8_t status = 0;
  Sim().Fail(Entry::DravUsbDEVEnter);
  EXPECT_EQ(Api().DravUsbDEVEnter(usb, &status), 0);
  EXPECT_EQ(Api().DravUsbDEVEnter(0, &status), 0);
  Api().DravUsbDEVEnter(usb, &status);
  EXPECT_EQ(status, 0x00);
}

class SimCounter : public SimTest {
 protected:
  SimCounterPoll Get() {
    SimCounterPoll p{-1, 0xDEAD, 0xEE, -1};
    EXPECT_EQ(Api().DravCounterGet(flash_, &p.running, &p.ticks, &p.value, &p.timedOut), 1);
    return p;
  }
  std::vector<std::string> Polls(int n) {
    std::vector<std::string> seen;
    for (int i = 0; i < n; ++i) {
      const SimCounterPoll p = Get();
      seen.push_back(std::to_string(p.running) + "/" + std::to_string(p.ticks) + "/" + std::to_string(p.value) + "/" +
                     std::to_string(p.timedOut));
    }
    return seen;
  }
  drav::Handle flash_ = OpenChip().flash;
};

TEST_F(SimCounter, DefaultMeasurementRunsTwoPollsThenStopsAt24038) {
  EXPECT_EQ(Polls(2), (std::vector<std::string>{"0/0/0/0", "0/0/0/0"})) << "before any start";
  ASSERT_EQ(Api().DravCounterStart(flash_), 1);
  const auto polls = Polls(5);
  EXPECT_EQ(polls[0].substr(0, 2), "1/");
  EXPECT_EQ(polls[1].substr(0, 2), "1/");
  EXPECT_EQ(std::vector<std::string>(polls.begin() + 2, polls.end()), (std::vector<std::string>(3, "0/24038/90/0")));
  ASSERT_EQ(Api().DravCounterReset(flash_), 1);
  EXPECT_EQ(Polls(1), std::vector<std::string>{"0/0/0/0"});
}

TEST_F(SimCounter, ScriptsReplaceTheMeasurementsStartedAfterThem) {
  ASSERT_EQ(Api().DravCounterStart(flash_), 1);
  const std::vector<SimCounterPoll> script = {{1, 10, 1, 0}, {0, 500, 3, 1}};
  Sim().SimCtl_ScriptCounter(script.data(), 2);
  EXPECT_EQ(Polls(1)[0].substr(0, 2), "1/") << "the running measurement changed";
  Api().DravCounterStart(flash_);
  EXPECT_EQ(Polls(3), (std::vector<std::string>{"1/10/1/0", "0/500/3/1", "0/500/3/1"}));
  Api().DravCounterStart(flash_);
  EXPECT_EQ(Polls(1), std::vector<std::string>{"1/10/1/0"}) << "the script holds for every start";
  Sim().SimCtl_ScriptCounter(nullptr, 0);
  Api().DravCounterStart(flash_);
  EXPECT_EQ(Polls(3).back(), "0/24038/90/0");
}

TEST_F(SimCounter, NeedsALiveFlashObject) {
  std::int32_t running = 5;
  std::uint32_t ticks = 5;
  std::uint8_t value = 5;
  EXPECT_EQ(Api().DravCounterStart(0x42), 0);
  EXPECT_EQ(Api().DravCounterReset(0x42), 0);
  EXPECT_EQ(Api().DravCounterGet(0x42, &running, &ticks, &value, &running), 0);
  EXPECT_EQ(LastError(), "Invalid flash object 0x00000042");
  EXPECT_EQ(ticks, 5u);
}

}  // namespace
}  // namespace selvarex::test
