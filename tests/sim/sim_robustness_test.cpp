// Nonsense of every kind reaches the library from a faulty caller; the answer
// is a failure with a text, never a crash.
#include <cstring>
#include <string>

#include "sim/sim_control.h"
#include "sim_fixture.h"

namespace selvarex::test {
namespace {

class SimRobustness : public SimTest {};

TEST_F(SimRobustness, GarbageHandlesAndNullPointersFailEverywhere) {
  const auto& a = Api();
  const Objects real = OpenChip();
  std::uint32_t calls = 0;
  for (drav::Handle h : {0u, 1u, 0xFFFFFFFFu, 0x10000000u, 0x20000000u, 0x30000000u}) {
    a.DravUsbClose(h);
    a.GetFlashID(h, nullptr);
    a.DravUsbGetLoaderVersion(h, nullptr);
    a.DravUsbGetPldStatus(h, nullptr);
    a.DravUsbGetPLDID(h, nullptr);
    a.DravUsbResetPLD(h);
    a.DravUsbReset(h);
    a.DravUsbSetTimeOut(h, -5, -5);
    a.DravUsbDEVEnter(h, nullptr);
    a.DravUsbDEVExit(h, nullptr);
    a.DravUsbSelectFlash(h, 0xFFFFFFFF);
    a.DravDevDestroy(h);
    a.DravDevIsSupported(h, 0xFFFFFFFF, nullptr);
    a.DravDevIsProdSupported(h, 0, nullptr);
    a.DravDevGetFullName(h, 0xC3A1, nullptr, 0xFFFFFFFF);
    a.DravDevGetProdName(h, 0xC3A1, nullptr, 0);
    a.DravDevSetWVerify(h, 0xFFFFFFFF);
    a.DravDevGetFlashID(h, h, nullptr);
    a.DravDevCreateFlash(h, h, 0xFFFF);
    a.DravFlashBlank(h, nullptr);
    a.DravFlashEraseAll(h);
    a.DravFlashEraseSector(h, 0xFFFFFFFF);
    a.DravFlashReset(h);
    a.DravFlashGetDeviceSize(h, nullptr);
    a.DravFlashSetWVerify(h, 1);
    a.DravFlashRead(h, 0xFFFFFFFF, nullptr, 0xFFFFFFFF);
    a.DravFlashWrite(h, 0xFFFFFFFF, nullptr, 0xFFFFFFFF);
    a.DravCounterStart(h);
    a.DravCounterReset(h);
    a.DravCounterGet(h, nullptr, nullptr, nullptr, nullptr);
    calls += 30;
  }
  a.DravUsbGetDLLVersion(nullptr, nullptr);
  a.DravUsbGetDriverVersion(nullptr, nullptr);
  a.DravUsbDeviceCount(nullptr);
  a.DravGetLastError(nullptr, 0xFFFFFFFF);
  calls += 4;
  EXPECT_EQ(Sim().SimCtl_TotalCalls(), calls + 5) << "every call counts, the five of OpenChip too";
  EXPECT_NE(LastError(), "<none>");
  // The real objects are untouched.
  EXPECT_EQ(a.DravFlashReset(real.flash), 1);
  EXPECT_EQ(a.DravUsbReset(real.usb), 1);
}

TEST_F(SimRobustness, ControlInterfaceTakesNullsAndOddSizes) {
  Sim().SimCtl_ScriptCounter(nullptr, 5);
  Sim().SimCtl_ScriptDevStatus(0, nullptr, 5);
  Sim().SimCtl_LiveObjects(nullptr, nullptr, nullptr);
  EXPECT_EQ(Sim().SimCtl_LastArgs("DravUsbOpen", nullptr, 5), -1);
  EXPECT_EQ(Sim().SimCtl_SetChip(2, 1, nullptr, nullptr, 1, 1), -1);
  EXPECT_EQ(Sim().SimCtl_WriteVerify(2), -1);
  char one = '#';
  EXPECT_EQ(Sim().SimCtl_CallLog(&one, 1), Sim().SimCtl_CallLog(nullptr, 0));
  EXPECT_EQ(one, '\0');
  std::uint8_t status = 0;
  const drav::Handle usb = Api().DravUsbOpen();
  ASSERT_EQ(Api().DravUsbDEVEnter(usb, &status), 1);
  EXPECT_EQ(status, 0x81) << "a null script must mean no script";
}

}  // namespace
}  // namespace selvarex::test
