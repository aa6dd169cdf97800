// The window with its library in a host that hangs: closing the window still
// ends the host and closes, whether a programmer is open or not.
#include "reliability_window.h"

namespace selvarex::test {
namespace {

using A = ActionId;

struct HangingHost {
  const char* name;
  bool connected;
  std::vector<std::string> errors;  // what closing shows
};

void PrintTo(const HangingHost& host, std::ostream* out) { *out << host.name; }

class ClosingWithAHangingHost : public ReliabilityWindow, public ::testing::WithParamInterface<HangingHost> {};

TEST_P(ClosingWithAHangingHost, EndsTheHostAndClosesTheWindow) {
  if (dir_.Relay() == nullptr) GTEST_SKIP() << "the library is loaded in this process";
  GetParam().connected ? GoConnected() : GoLoaded();
  ASSERT_FALSE(HasFatalFailure());
  const std::uint32_t host = dir_.Relay()->Hosts().back();
  if (!sim::relay::SuspendProcess(host)) GTEST_SKIP() << "no way to suspend a process here";

  prompts.errors.clear();
  EXPECT_TRUE(window->close());
  EXPECT_EQ(prompts.errors, GetParam().errors);
  EXPECT_FALSE(window->isVisible());
  EXPECT_FALSE(window->IsDLLOpen());
  EXPECT_FALSE(sim::relay::ProcessExists(host)) << "the hanging host is left";
}

INSTANTIATE_TEST_SUITE_P(
    ThroughTheHost, ClosingWithAHangingHost,
    ::testing::Values(HangingHost{"InTheFree", false, {}},
                      HangingHost{"InTheProgrammersClose",
                                  true,
                                  {"The device library host did not answer DravUsbClose within 5 seconds; it has "
                                   "been stopped and the library has been unloaded."}}),
    [](const ::testing::TestParamInfo<HangingHost>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace selvarex::test
