// Connecting, disconnecting, the information panels and the flash selection,
// driven through the simulated programmer.
#include <gtest/gtest.h>

#include "device/errors.h"
#include "device/info_format.h"
#include "support/connected_sim.h"

namespace selvarex {
namespace {

using drav::Entry;
using test::SimSession;
using Names = std::vector<std::string>;

std::uint32_t LiveDevices(const test::SimControl& sim) {
  std::uint32_t usb = 0, devices = 0, flashes = 0;
  sim.SimCtl_LiveObjects(&usb, &devices, &flashes);
  return devices;
}

TEST(Connect, OpensReadsRefreshesThenCreatesTheDevice) {
  SimSession s;
  s.sim->SimCtl_ResetCounts();
  s.Connect();
  EXPECT_EQ(s.sim->CallLog(), (Names{"DravUsbDeviceCount", "DravUsbOpen", "DravUsbGetLoaderVersion",
                                     "DravUsbGetPldStatus", "DravUsbDeviceCount", "DravUsbGetDLLVersion",
                                     "DravUsbGetDriverVersion", "DravUsbGetPLDID", "DravDevCreate"}));
  EXPECT_TRUE(s.programmer.IsConnected());
  EXPECT_NE(s.programmer.DeviceHandle(), 0u);
  EXPECT_TRUE(s.view.selectorEnabled);
  EXPECT_EQ(s.view.Label(PanelLabel::DeviceCount), "1");
  EXPECT_EQ(s.view.Label(PanelLabel::DLLVersion), "1.2.3.4");
  EXPECT_EQ(s.view.Label(PanelLabel::DriverVersion), "5.6.7.8");
  EXPECT_EQ(s.view.Label(PanelLabel::LoaderVersion), "1.2");
  EXPECT_EQ(s.view.Label(PanelLabel::PLDStatus), "Programmed");
  EXPECT_EQ(s.view.Label(PanelLabel::PldId), "Dravolin 78");
}

TEST(Connect, WithoutAProgrammerOpensNothingAndCreatesNoDevice) {
  SimSession s;
  s.sim->SimCtl_SetDeviceCount(0);
  s.sim->SimCtl_ResetCounts();
  s.Connect();
  EXPECT_EQ(s.sim->CallLog(), (Names{"DravUsbDeviceCount"}));
  EXPECT_FALSE(s.programmer.IsConnected());
  EXPECT_EQ(s.programmer.DeviceHandle(), 0u);
  EXPECT_TRUE(s.view.labels.empty()) << "the panels must not change";
  EXPECT_EQ(s.view.selectorResets, 0);
  EXPECT_EQ(LiveDevices(*s.sim), 0u) << "a device object was leaked in the library";
}

TEST(Connect, WithoutDeviceCountEntryOpensNothing) {
  SimSession s("without_DravUsbDeviceCount");
  s.sim->SimCtl_ResetCounts();
  s.Connect();
  EXPECT_EQ(s.sim->SimCtl_TotalCalls(), 0u);
  EXPECT_FALSE(s.programmer.IsConnected());
  EXPECT_EQ(LiveDevices(*s.sim), 0u);
}

TEST(Connect, FailuresRaiseTheLibraryTextAndStopThere) {
  struct Case {
    Entry failing;
    bool connectedAfter;
    bool deviceAfter;
  };
  for (const Case c : {Case{Entry::DravUsbDeviceCount, false, false}, Case{Entry::DravUsbOpen, false, false},
                       Case{Entry::DravUsbGetPLDID, true, false}, Case{Entry::DravDevCreate, true, false}}) {
    SimSession s;
    s.sim->Fail(c.failing, 1, 1, "injected");
    EXPECT_EQ(SimSession::ErrorOf([&] { s.Connect(); }), "injected") << drav::EntryName(c.failing);
    EXPECT_EQ(s.programmer.IsConnected(), c.connectedAfter) << drav::EntryName(c.failing);
    EXPECT_EQ(s.programmer.DeviceHandle() != 0, c.deviceAfter) << drav::EntryName(c.failing);
    EXPECT_EQ(LiveDevices(*s.sim), 0u) << drav::EntryName(c.failing);
  }
}

TEST(Connect, IgnoredResultsOfLoaderVersionAndPldStatus) {
  SimSession s;
  s.sim->Fail(Entry::DravUsbGetLoaderVersion);
  s.sim->Fail(Entry::DravUsbGetPldStatus);
  EXPECT_NO_THROW(s.Connect());
  EXPECT_TRUE(s.programmer.IsConnected());
  EXPECT_NE(s.programmer.DeviceHandle(), 0u);
}

TEST(Connect, PldStatusAndIdTexts) {
  struct Case {
    std::uint16_t pldId;
    std::uint32_t status;
    const char* name;
    const char* statusText;
  };
  for (const Case c : {Case{0, 1, "Q3LIN", "Empty"}, Case{7, 0, "Ombrel", "Programmed"},
                       Case{8, 0x80000000u, "UNKNOWN", "Empty"}, Case{65535, 0, "UNKNOWN", "Programmed"}}) {
    SimSession s;
    s.sim->SimCtl_SetPld(c.pldId, c.status);
    s.Connect();
    EXPECT_EQ(s.view.Label(PanelLabel::PldId), c.name) << c.pldId;
    EXPECT_EQ(s.view.Label(PanelLabel::PLDStatus), c.statusText) << c.status;
  }
}

TEST(InfoFormat, VersionsAndIds) {
  EXPECT_EQ(VersionToStr(0x00010002, 0x00030004), "1.2.3.4");
  EXPECT_EQ(VersionToStr(0xFFFFFFFF, 0x80000000), "65535.65535.32768.0");
  EXPECT_EQ(LoaderVersionToStr(0x0102), "1.2");
  EXPECT_EQ(LoaderVersionToStr(0xFF00), "255.0");
  EXPECT_EQ(FlashIdToStr(236), "0x00EC");
  EXPECT_EQ(FlashIdToStr(0xC3A1), "0xC3A1");
  EXPECT_EQ(std::string(PldStatusToStr(0)) + PldStatusToStr(1) + PldStatusToStr(0x80000000u), "ProgrammedEmptyEmpty");
  EXPECT_EQ(std::string(YesNoToStr(true)) + YesNoToStr(false), "YesNo");
}

TEST(UpdateInfo, AFailingRuleLeavesTheLaterLabelsAsTheyWere) {
  SimSession s;
  s.Connect();
  s.view.labels.clear();
  s.sim->Fail(Entry::DravUsbGetDriverVersion, 1, 1, "driver query failed");
  EXPECT_EQ(SimSession::ErrorOf([&] { s.programmer.UpdateInfo(s.view); }), "driver query failed");
  EXPECT_EQ(s.view.Label(PanelLabel::DeviceCount), "1");
  EXPECT_EQ(s.view.Label(PanelLabel::DLLVersion), "1.2.3.4");
  EXPECT_EQ(s.view.Label(PanelLabel::DriverVersion), "<unset>");
  EXPECT_EQ(s.view.Label(PanelLabel::PldId), "<unset>");
  EXPECT_EQ(s.view.Label(PanelLabel::PLDStatus), "<unset>");
}

TEST(UpdateInfo, PlaceholdersWhenNotConnectedOrEntriesMissing) {
  SimSession s("without_DravUsbGetDLLVersion");
  s.programmer.UpdateInfo(s.view);
  EXPECT_EQ(s.view.Label(PanelLabel::DeviceCount), "1");
  EXPECT_EQ(s.view.Label(PanelLabel::DLLVersion), "??.??");
  EXPECT_EQ(s.view.Label(PanelLabel::DriverVersion), "5.6.7.8");
  EXPECT_EQ(s.view.Label(PanelLabel::PldId), "????");
  EXPECT_EQ(s.view.Label(PanelLabel::LoaderVersion), "????");
  EXPECT_EQ(s.view.Label(PanelLabel::PLDStatus), "????");
}

TEST(Disconnect, DestroysTheDeviceThenClosesAndClearsTheFlashObject) {
  SimSession s;
  s.ConnectAndSelect(0);
  ASSERT_NE(s.programmer.FlashHandle(), 0u);
  s.sim->SimCtl_ResetCounts();
  s.programmer.Disconnect(s.view);
  const Names log = s.sim->CallLog();
  ASSERT_GE(log.size(), 2u);
  EXPECT_EQ(log[0], "DravDevDestroy");
  EXPECT_EQ(log[1], "DravUsbClose");
  EXPECT_FALSE(s.programmer.IsConnected());
  EXPECT_EQ(s.programmer.DeviceHandle(), 0u);
  EXPECT_EQ(s.programmer.FlashHandle(), 0u) << "a flash object outlived its device object";
  EXPECT_EQ(s.programmer.FlashId(), 0u);
  EXPECT_FALSE(s.view.selectorEnabled);
  EXPECT_EQ(s.view.Label(PanelLabel::PldId), "????");
  EXPECT_EQ(s.view.Label(PanelLabel::LoaderVersion), "????");
  EXPECT_EQ(s.view.Label(PanelLabel::DeviceCount), "1");
  EXPECT_EQ(s.view.Label(PanelLabel::FlashID), "0xC3A1") << "the flash panel keeps its texts";
}

TEST(Disconnect, FailedDestroyKeepsTheProgrammerOpen) {
  SimSession s;
  s.ConnectAndSelect(0);
  s.sim->Fail(Entry::DravDevDestroy, 1, 1, "device busy");
  EXPECT_EQ(SimSession::ErrorOf([&] { s.programmer.Disconnect(s.view); }), "device busy");
  EXPECT_TRUE(s.programmer.IsConnected());
  EXPECT_EQ(s.sim->Calls(Entry::DravUsbClose), 0u);
  EXPECT_NE(s.programmer.FlashHandle(), 0u);
}

TEST(Disconnect, FailedCloseCountsAsDisconnectedButKeepsTheSelector) {
  SimSession s;
  s.ConnectAndSelect(0);
  s.view.labels.clear();
  const int resets = s.view.selectorResets;
  s.sim->Fail(Entry::DravUsbClose, 1, 1, "close failed");
  EXPECT_EQ(SimSession::ErrorOf([&] { s.programmer.Disconnect(s.view); }), "close failed");
  EXPECT_EQ(s.programmer.UsbHandle(), 0u);
  EXPECT_FALSE(s.programmer.IsConnected());
  EXPECT_EQ(s.view.selectorResets, resets);
  EXPECT_TRUE(s.view.labels.empty()) << "the panel must not be refreshed";
  // Picking a flash now asks the library with a zero handle, which refuses:
  // its error, a blank panel and no chip chosen.
  EXPECT_NE(SimSession::ErrorOf([&] { s.programmer.SelectFlash(1, s.view); }), "");
  EXPECT_EQ(s.sim->LastArgs(Entry::DravUsbSelectFlash), (std::vector<std::uint32_t>{0, 1}));
  EXPECT_EQ(s.view.Label(PanelLabel::FlashFullName), "??");
  EXPECT_EQ(std::pair(s.view.selectorResets, s.view.selectorEnabled), std::pair(resets + 1, true));
}

TEST(Disconnect, ADeviceWhoseCreationFailedDoesNotBlockDisconnect) {
  SimSession s;
  s.sim->Fail(Entry::DravDevCreate);
  EXPECT_THROW(s.Connect(), Exception);
  ASSERT_TRUE(s.programmer.IsConnected());
  EXPECT_NO_THROW(s.programmer.Disconnect(s.view));
  EXPECT_FALSE(s.programmer.IsConnected());
  EXPECT_EQ(s.sim->Calls(Entry::DravDevDestroy), 0u);
}

TEST(Reconnect, AStaleFlashObjectNeverReachesTheLibrary) {
  SimSession s;
  s.ConnectAndSelect(0);
  s.programmer.Disconnect(s.view);
  s.Connect();
  EXPECT_EQ(s.programmer.FlashHandle(), 0u);
  EXPECT_FALSE(s.programmer.HasFlash());
}

TEST(FlashSelection, SupportedChipFillsThePanelAndGetsAFlashObject) {
  SimSession s;
  s.Connect();
  s.sim->SimCtl_ResetCounts();
  s.programmer.SelectFlash(0, s.view);
  EXPECT_EQ(s.sim->LastArgs(Entry::DravUsbSelectFlash), (std::vector<std::uint32_t>{s.programmer.UsbHandle(), 0}));
  EXPECT_EQ(s.view.Label(PanelLabel::FlashID), "0xC3A1");
  EXPECT_NE(s.view.Label(PanelLabel::FlashFullName), "??");
  EXPECT_NE(s.view.Label(PanelLabel::FlashProdName), "??");
  EXPECT_EQ(s.view.Label(PanelLabel::FlashSupported), "Yes");
  EXPECT_EQ(s.view.Label(PanelLabel::FlashProductorSupported), "Yes");
  EXPECT_NE(s.programmer.FlashHandle(), 0u);
  EXPECT_EQ(s.sim->LastArgs(Entry::DravDevCreateFlash),
            (std::vector<std::uint32_t>{s.programmer.DeviceHandle(), s.programmer.UsbHandle(), 0xC3A1}));
}

TEST(FlashSelection, UnsupportedChipShowsNoAndLeavesNoFlashObjectOfAnotherChip) {
  SimSession s;
  s.ConnectAndSelect(0);
  ASSERT_NE(s.programmer.FlashHandle(), 0u);
  s.programmer.SelectFlash(1, s.view);  // chip 1 is not supported
  EXPECT_EQ(s.view.Label(PanelLabel::FlashSupported), "No");
  EXPECT_EQ(s.programmer.FlashHandle(), 0u) << "chip 0's flash object would act while chip 1 is selected";
  EXPECT_EQ(s.sim->Calls(Entry::DravDevCreateFlash), 1u);
}

TEST(FlashSelection, MissingEntriesLeaveTheirLabelsAndSkipTheirCalls) {
  {
    SimSession s("without_DravDevIsProdSupported");
    s.ConnectAndSelect(0);
    EXPECT_EQ(s.view.Label(PanelLabel::FlashProductorSupported), "No");
    EXPECT_FALSE(s.programmer.IsFlashProdSupported());
  }
  {
    SimSession s("without_DravDevCreateFlash");
    s.ConnectAndSelect(0);
    EXPECT_EQ(s.view.Label(PanelLabel::FlashSupported), "Yes");
    EXPECT_EQ(s.programmer.FlashHandle(), 0u);
  }
  {
    SimSession s("without_DravDevGetFlashID");
    s.ConnectAndSelect(0);
    for (PanelLabel l : {PanelLabel::FlashID, PanelLabel::FlashFullName, PanelLabel::FlashProdName,
                         PanelLabel::FlashSupported, PanelLabel::FlashProductorSupported}) {
      EXPECT_EQ(s.view.Label(l), "??");
    }
  }
  {
    SimSession s("without_DravDevGetFullName");
    s.ConnectAndSelect(0);
    EXPECT_EQ(s.view.Label(PanelLabel::FlashFullName), "<unset>");
    EXPECT_NE(s.view.Label(PanelLabel::FlashProdName), "<unset>");
  }
}

TEST(FlashSelection, NamesWithoutTerminatorAreCutAtTheBuffer) {
  SimSession s;
  s.Connect();
  s.sim->SimCtl_Misbehave(kSimTextsWithoutNul);
  s.programmer.SelectFlash(0, s.view);
  EXPECT_EQ(s.view.Label(PanelLabel::FlashFullName).size(), 100u);
  EXPECT_EQ(s.view.Label(PanelLabel::FlashProdName).size(), 100u);
}

TEST(FlashSelection, FlashIdIsShownWithFourUpperCaseDigits) {
  SimSession s;
  s.sim->SimCtl_SetChip(0, 236, nullptr, nullptr, 1, 1);
  s.ConnectAndSelect(0);
  EXPECT_EQ(s.view.Label(PanelLabel::FlashID), "0x00EC");
}

TEST(ProdSupportQuery, AFailureIsRaisedOnceThenTheChipCountsAsUnusable) {
  SimSession s;
  s.ConnectAndSelect(0);
  s.sim->Fail(Entry::DravDevIsProdSupported, 1, 0, "query failed");  // every call from now on
  EXPECT_EQ(SimSession::ErrorOf([&] { s.programmer.IsFlashProdSupported(); }), "query failed");
  const std::uint32_t calls = s.sim->Calls(Entry::DravDevIsProdSupported);
  for (int pass = 0; pass < 5; ++pass) EXPECT_FALSE(s.programmer.IsFlashProdSupported());
  EXPECT_EQ(s.sim->Calls(Entry::DravDevIsProdSupported), calls) << "the failing query was repeated";

  // A new selection asks again.
  s.sim->SimCtl_ClearFailures();
  s.programmer.SelectFlash(1, s.view);
  s.programmer.SelectFlash(0, s.view);
  EXPECT_TRUE(s.programmer.IsFlashProdSupported());
}

TEST(Unload, ForgettingTheLibraryClearsEveryObject) {
  SimSession s;
  s.ConnectAndSelect(0);
  s.programmer.CloseUsbDevice(s.view);
  s.library.Unload();
  s.programmer.ForgetLibraryObjects();
  EXPECT_EQ(s.programmer.DeviceHandle(), 0u);
  EXPECT_EQ(s.programmer.FlashHandle(), 0u);
  s.library.Load();
  s.Connect();
  EXPECT_FALSE(s.programmer.HasFlash());
}

TEST(Unload, WithoutCloseEntryTheProgrammerCountsAsClosed) {
  SimSession s("without_DravUsbClose");
  s.Connect();
  ASSERT_TRUE(s.programmer.IsConnected());
  EXPECT_NO_THROW(s.programmer.CloseUsbDevice(s.view));
  EXPECT_FALSE(s.programmer.IsConnected());
}

}  // namespace
}  // namespace selvarex
