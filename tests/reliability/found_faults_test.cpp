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
  ASSERT_EQ(window->Connection().FDevice, 0u);

  const Outcome after = Record([&] {
    window->RunIdlePass();
    PickFlash(1);
    PickFlash(0);
  });
  EXPECT_EQ(after.errors, std::vector<std::string>{});
  EXPECT_EQ(std::count(after.calls.begin(), after.calls.end(), "DravDevIsProdSupported"), 0);
  EXPECT_FALSE(Enabled(A::actFlashRead));
  EXPECT_FALSE(Enabled(A::actCounter));
  EXPECT_EQ(window->lblFlashProductorSupported->text().toStdString(), "??");

  // The operator can still leave and connect properly.
  EXPECT_TRUE(Enabled(A::actDravolinDisconnect));
  GoSelected(0);
  EXPECT_EQ(prompts.errors, std::vector<std::string>{});
}

}  // namespace
}  // namespace selvarex::test
