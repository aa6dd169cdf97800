// Faults the reliability runs found, each kept as the smallest operator
// session that showed it.
#include <algorithm>

#include "reliability_window.h"

namespace selvarex::test {
namespace {

using A = ActionId;
using drav::Entry;

class FoundFaults : public ReliabilityWindow {};

// Found by the long session: connected, but the device object could not be
// created. The enable rules then asked the library whether device object 0
// supports the chip, so the idle pass after every flash pick showed "Invalid
// device object 0x00000000." - and a real library would have been handed an
// object it never gave out.
TEST_F(FoundFaults, ConnectedWithoutDeviceObjectTheRulesNeverAskAboutDeviceZero) {
  GoLoaded();
  Sim().Fail(Entry::DravDevCreate, 1, 1, "No memory for the device object");
  const Outcome connect = Record([&] { Execute(A::actDravolinConnect); });
  EXPECT_EQ(connect.errors, std::vector<std::string>{"No memory for the device object."});
  ASSERT_TRUE(window->IsConnected());
  ASSERT_EQ(window->Connection().DeviceHandle(), 0u);

  const Outcome after = Record([&] {
    window->RunIdlePass();
    PickFlash(1);
    PickFlash(0);
  });
  EXPECT_EQ(after.errors, std::vector<std::string>{});
  EXPECT_EQ(std::count(after.calls.begin(), after.calls.end(), "DravDevIsProdSupported"), 0);
  EXPECT_FALSE(Enabled(A::actFlashRead));
  EXPECT_FALSE(Enabled(A::actCounter));
  EXPECT_EQ(Label(*window, "lblFlashProductorSupported")->text().toStdString(), "??");

  // The operator can still leave and connect properly.
  EXPECT_TRUE(Enabled(A::actDravolinDisconnect));
  GoSelected(0);
  EXPECT_EQ(prompts.errors, std::vector<std::string>{});
}

// Found in review: a failed chip selection was ignored. On a board with two
// chips of the same model the panel then showed the same ID for the chip
// still selected in the programmer, and a Write meant for "Flash 1" would
// have overwritten "Flash 0". A refused selection now leaves no chip chosen.
TEST_F(FoundFaults, ARefusedChipSelectionLeavesNoChipToWriteTo) {
  GoSelected(0);
  ASSERT_EQ(Sim().SimCtl_SetChip(1, 0xC3A1, "VK9N1G08 1 Gbit NAND", "Veltrane", 1, 1), 0);
  Sim().Fail(Entry::DravUsbSelectFlash, 1, 1, "Flash 1 does not answer");
  const Outcome refused = Record([&] { PickFlash(1); });
  EXPECT_EQ(refused.errors, std::vector<std::string>{"Flash 1 does not answer."});
  EXPECT_EQ(window->SelectedFlashIndex(), -1);
  EXPECT_FALSE(window->Connection().HasFlash());
  for (const char* name :
       {"lblFlashID", "lblFlashFullName", "lblFlashProdName", "lblFlashSupported", "lblFlashProductorSupported"})
    EXPECT_EQ(Label(*window, name)->text().toStdString(), "??") << name;
  for (const ActionInfo& info : ActionTable())
    if (std::string(info.category) == "Flash" || info.id == A::actCounter) EXPECT_FALSE(Enabled(info.id)) << info.name;
  EXPECT_FALSE(VerifyBox(*window)->isEnabled());

  // The operator picks it again, and this time the programmer takes it.
  PickFlash(1);
  EXPECT_EQ(window->SelectedFlashIndex(), 1);
  EXPECT_EQ(Sim().LastArgs(Entry::DravUsbSelectFlash),
            (std::vector<std::uint32_t>{window->Connection().UsbHandle(), 1}));
  EXPECT_EQ(Label(*window, "lblFlashID")->text().toStdString(), "0xC3A1");
  EXPECT_TRUE(Enabled(A::actFlashProgram));
  EXPECT_EQ(prompts.errors, std::vector<std::string>{"Flash 1 does not answer."});
}

}  // namespace
}  // namespace selvarex::test
