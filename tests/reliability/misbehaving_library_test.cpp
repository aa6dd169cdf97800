// A library that breaks its own contract: texts that fill the whole buffer
// without a terminator, and calls that report success without writing their
// out-values. The window must stay inside its buffers (the sanitizer build
// checks every access) and show only what the library gave or its own
// placeholders, never leftover memory.
#include <QLabel>

#include "counter/postbus_counter.h"
#include "device/device_commands.h"
#include "reliability_window.h"
#include "support/connected_sim.h"

namespace selvarex::test {
namespace {

using A = ActionId;
using drav::Entry;

// text repeated until it has exactly length characters.
std::string Repeated(const std::string& text, std::size_t length) {
  std::string out;
  while (out.size() < length) out += text;
  return out.substr(0, length);
}

class MisbehavingLibrary : public ReliabilityWindow {};

TEST_F(MisbehavingLibrary, TextsWithoutTerminatorAreCutAtTheirBuffers) {
  GoConnected();
  Sim().SimCtl_Misbehave(kSimTextsWithoutNul);
  PickFlash(0);
  EXPECT_EQ(Label(*window, "lblFlashFullName")->text().toStdString(), Repeated("VK9N1G08 1 Gbit NAND", 100));
  EXPECT_EQ(Label(*window, "lblFlashProdName")->text().toStdString(), Repeated("Veltrane", 100));

  // The error text fills all 512 bytes; the box adds its full stop.
  Sim().Fail(Entry::DravUsbReset, 1, 1, "USB bus stalled.");
  const Outcome run = Record([&] { Execute(A::actDravolinReset); });
  EXPECT_EQ(run.errors, std::vector<std::string>{Repeated("USB bus stalled.", 512)});
  Sim().Fail(Entry::DravFlashGetDeviceSize, 1, 1, "xy");
  EXPECT_EQ(Record([&] { Execute(A::actFlashGetDeviceSize); }).errors,
            std::vector<std::string>{Repeated("xy", 512) + "."});
}

TEST_F(MisbehavingLibrary, UnwrittenOutValuesShowAsZeroAndNeverConnectAnything) {
  Sim().SimCtl_Misbehave(kSimSkipOutValues);
  const Outcome load = Record([&] { Execute(A::actDLLLoad); });
  EXPECT_EQ(load.errors, std::vector<std::string>{});
  EXPECT_EQ(Label(*window, "lblDeviceCount")->text().toStdString(), "0");
  EXPECT_EQ(Label(*window, "lblDLLVersion")->text().toStdString(), "0.0.0.0");
  EXPECT_EQ(Label(*window, "lblDriverVersion")->text().toStdString(), "0.0.0.0");
  // A count the library never wrote is no programmer: nothing is opened.
  const Outcome connect = Record([&] { Execute(A::actDravolinConnect); });
  EXPECT_EQ(connect.calls, std::vector<std::string>{"DravUsbDeviceCount"});
  EXPECT_FALSE(window->IsConnected());
}

TEST_F(MisbehavingLibrary, UnwrittenOutValuesAfterConnectingGiveNoFalseResults) {
  GoSelected(0);
  const QString flashId = Label(*window, "lblFlashID")->text();
  Sim().SimCtl_Misbehave(kSimSkipOutValues);
  // DEV mode never confirmed: every attempt is used up, then the beep.
  Record([&] { Execute(A::actPLDDevEnter); });
  const Outcome exit = Record([&] { Execute(A::actPLDDevExit); });
  EXPECT_EQ(exit.messages, std::vector<std::string>{"DevExit failed!"});
  EXPECT_EQ(exit.calls.size(), 50u);
  EXPECT_EQ(prompts.beeps, 2);

  // An unwritten support flag means unsupported: the flash commands go away.
  window->RunIdlePass();
  EXPECT_FALSE(Enabled(A::actFlashRead));
  EXPECT_FALSE(Enabled(A::actCounter));
  PickFlash(1);
  EXPECT_EQ(Label(*window, "lblFlashID")->text(), flashId) << "the ID keeps what it held";
  EXPECT_EQ(Label(*window, "lblFlashFullName")->text().toStdString(), "");
  EXPECT_EQ(Label(*window, "lblFlashSupported")->text().toStdString(), "No");
  EXPECT_FALSE(window->Connection().HasFlash());
  EXPECT_EQ(prompts.errors, std::vector<std::string>{});
}

// The flash commands are out of the window's reach once the support flag is
// unwritten, so their handling of unwritten values is checked on the
// connection itself.
TEST(MisbehavingLibraryCommands, UnwrittenSizesAndCounterValuesAreNeverTakenForResults) {
  SimSession s;
  s.ConnectAndSelect(0);
  struct Reporter : CommandReporter {
    void Show(const std::string& text) override { shown.push_back(text); }
    void ErrorBeep() override {}
    std::vector<std::string> shown;
  } reporter;
  struct View : CounterView {
    void ShowCounterStatus(const std::string& s) override { status = s; }
    void ProcessMessagesOnce() override {}
    void ShowCounterResult(const std::string& t, const std::string&, const std::string&) override { ticks = t; }
    std::string status, ticks = "unchanged";
  } view;
  commands::EraseAll(s.programmer, reporter);
  s.sim->SimCtl_Misbehave(kSimSkipOutValues);
  commands::BlankCheck(s.programmer, reporter);
  commands::GetDeviceSize(s.programmer, reporter);
  RunCounter(s.programmer, view, '.');
  EXPECT_EQ(reporter.shown, (std::vector<std::string>{"Device Erased!", "Device is not Blank!", "Device Size is 0"}));
  EXPECT_EQ(view.status, "Time Out") << "a running flag never written is a counter that never stopped";
  EXPECT_EQ(view.ticks, "unchanged");
}

}  // namespace
}  // namespace selvarex::test
