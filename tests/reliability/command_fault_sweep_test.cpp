// Every library call of loading, unloading, connecting, disconnecting, the
// flash selection, the nine device commands, the counter and an idle pass
// fails once, in turn, as the operator drives the window. After each fault:
// the error box shows the library's error exactly when the program looks at
// the failed result, no library call follows a failure that ends the command,
// the window is in the state the failure leaves it in, and the next run works.
#include <QLabel>
#include <iostream>

#include "fault_sweep.h"
#include "reliability_window.h"

namespace selvarex::test {
namespace {

using A = ActionId;
using drav::Entry;

enum class Start { NotLoaded, Loaded, Connected, Selected };

class CommandFaultSweep;
struct Scenario {
  const char* name;
  Start start;
  std::function<void(CommandFaultSweep&)> run;
  // The state a fault leaves behind; error: the error box was shown.
  std::function<void(CommandFaultSweep&, const Fault&, bool error)> check;
};

// Results the program does not look at: a failure there is no error.
bool ResultIgnored(Entry e) {
  return e == Entry::DravUsbGetLoaderVersion || e == Entry::DravUsbGetPldStatus || e == Entry::DravDevCreateFlash;
}

class CommandFaultSweep : public ReliabilityWindow, public ::testing::WithParamInterface<Scenario> {
 public:
  using ReliabilityWindow::AnswerTimeout;
  using WindowTest::Sim;
  void GoTo(Start start) {
    switch (start) {
      case Start::NotLoaded:
        GoLoaded();
        Execute(A::actDLLUnload);
        window->RunIdlePass();
        ASSERT_FALSE(window->IsDLLOpen()) << Errors();
        return;
      case Start::Loaded: return GoLoaded();
      case Start::Connected: return GoConnected();
      case Start::Selected: return GoSelected(0);
    }
  }
  void RunCommand(A id) { Execute(id); }
  void ClickFlash(int index) { FlashItem(*window, index)->click(); }
  std::uint32_t LiveDevices() {
    std::uint32_t usb = 0, devices = 0, flashes = 0;
    Sim().SimCtl_LiveObjects(&usb, &devices, &flashes);
    return devices;
  }
  TFormMain& Window() { return *window; }
  std::uint32_t devicesBefore = 0;
};

void PrintTo(const Scenario& scenario, std::ostream* out) { *out << scenario.name; }

Scenario Command(const char* name, A id, std::function<void(CommandFaultSweep&, const Fault&, bool)> check = {}) {
  return {name, Start::Selected, [id](CommandFaultSweep& t) { t.RunCommand(id); }, std::move(check)};
}

std::vector<Scenario> Scenarios() {
  return {
      {"Load", Start::NotLoaded, [](CommandFaultSweep& t) { t.RunCommand(A::actDLLLoad); },
       // A panel refresh fails after the library is loaded: it stays loaded.
       [](CommandFaultSweep& t, const Fault&, bool) { EXPECT_TRUE(t.Window().IsDLLOpen()); }},
      {"Unload", Start::Selected, [](CommandFaultSweep& t) { t.RunCommand(A::actDLLUnload); },
       [](CommandFaultSweep& t, const Fault&, bool error) {
         EXPECT_EQ(t.Window().IsDLLOpen(), error);
         EXPECT_FALSE(t.Window().IsConnected()) << "a failed close still counts as closed";
       }},
      {"Connect", Start::Loaded, [](CommandFaultSweep& t) { t.RunCommand(A::actDravolinConnect); },
       [](CommandFaultSweep& t, const Fault& f, bool error) {
         const bool opened = !(f.nth == 1 && (f.entry == Entry::DravUsbDeviceCount || f.entry == Entry::DravUsbOpen));
         EXPECT_EQ(t.Window().IsConnected(), opened);
         EXPECT_EQ(t.Window().Connection().DeviceHandle() != 0, !error);
         EXPECT_EQ(t.LiveDevices(), t.devicesBefore + (error ? 0 : 1)) << "a device object only with a programmer";
       }},
      {"Disconnect", Start::Selected, [](CommandFaultSweep& t) { t.RunCommand(A::actDravolinDisconnect); },
       [](CommandFaultSweep& t, const Fault& f, bool) {
         const bool destroyed = f.entry != Entry::DravDevDestroy;
         EXPECT_EQ(t.Window().IsConnected(), !destroyed);
         EXPECT_EQ(t.LiveDevices(), t.devicesBefore - (destroyed ? 1 : 0));
       }},
      {"SelectFlash", Start::Connected, [](CommandFaultSweep& t) { t.ClickFlash(0); },
       [](CommandFaultSweep& t, const Fault& f, bool) {
         // The flash object exists when the creation came and succeeded.
         const bool created = f.entry == Entry::DravDevIsProdSupported;
         EXPECT_EQ(t.Window().Connection().HasFlash(), created);
         // A chip the programmer refused is no chip at all: nothing chosen, nothing shown.
         const bool refused = f.entry == Entry::DravUsbSelectFlash;
         EXPECT_EQ(t.Window().SelectedFlashIndex(), refused ? -1 : 0);
         if (refused) EXPECT_EQ(Label(t.Window(), "lblFlashID")->text().toStdString(), "??");
         t.Window().RunIdlePass();
         EXPECT_FALSE(t.Window().ActionOf(A::actFlashRead)->isEnabled());
       }},
      Command("ResetPLD", A::actPLDReset),
      Command("Reset", A::actDravolinReset),
      {"SetTimeout", Start::Selected,
       [](CommandFaultSweep& t) {
         t.AnswerTimeout("100", "200");
         t.RunCommand(A::actDravolinSetTimeOut);
       }},
      Command("DevEnter", A::actPLDDevEnter),
      Command("DevExit", A::actPLDDevExit),
      Command("BlankCheck", A::actFlashBlank),
      Command("EraseAll", A::actFlashEraseAll,
              [](CommandFaultSweep& t, const Fault&, bool error) {
                // The chip was back in its factory state: a failed erase leaves it so.
                EXPECT_EQ(t.Sim().SimCtl_AllocatedBlocks(0), error ? 1u : 24u)
                    << "bad block 5 is stored, every other block erased";
              }),
      Command("FlashReset", A::actFlashFlashReset),
      Command("GetSize", A::actFlashGetDeviceSize),
      Command("Counter", A::actCounter,
              [](CommandFaultSweep& t, const Fault& f, bool error) {
                // A failed enable rule never starts the measurement.
                const bool started = f.entry != Entry::DravDevIsProdSupported;
                EXPECT_EQ(Label(t.Window(), "lblCntStatus")->text().toStdString(), error && started ? "BUSY" : "Ready");
                EXPECT_EQ(Label(t.Window(), "lblCnt")->text().toStdString(), error ? "0" : "24038")
                    << "no result from a failed measurement";
              }),
      {"IdlePass", Start::Selected, [](CommandFaultSweep& t) { t.Window().RunIdlePass(); },
       [](CommandFaultSweep& t, const Fault&, bool error) {
         // From the next pass on the chip counts as unusable, without asking again.
         t.Window().RunIdlePass();
         for (A a : {A::actFlashBlank, A::actFlashRead, A::actFlashProgram, A::actCounter})
           EXPECT_EQ(t.Window().ActionOf(a)->isEnabled(), !error) << InfoOf(a).name;
         EXPECT_TRUE(t.Window().ActionOf(A::actDravolinDisconnect)->isEnabled());
       }},
  };
}

TEST_P(CommandFaultSweep, EveryCallFailsOnceAndTheWindowCopes) {
  const Scenario& scenario = GetParam();
  // A small chip with one bad block keeps Erase All and the checks quick.
  const auto prepare = [&] {
    Sim().SimCtl_SetBlockCount(0, 24);
    Sim().SimCtl_SetMarker(0, 5, 0x00);
    Label(*window, "lblCnt")->setText("0");
    Label(*window, "lblCntStatus")->setText("Ready");
    devicesBefore = LiveDevices();
  };
  GoTo(scenario.start);
  ASSERT_FALSE(HasFatalFailure());
  prepare();
  const Outcome dry = Record([&] { scenario.run(*this); });
  ASSERT_EQ(dry.errors, std::vector<std::string>{});
  const std::vector<Fault> faults = FaultsOf(dry.calls);
  ASSERT_FALSE(faults.empty());

  int injected = 0;
  for (std::size_t position = 0; position < faults.size(); ++position) {
    const Fault& fault = faults[position];
    for (const ErrorText told : kErrorTexts) {
      SCOPED_TRACE(Describe(fault, told));
      GoTo(scenario.start);
      ASSERT_FALSE(HasFatalFailure());
      prepare();
      Inject(Sim(), fault, told);
      ++injected;
      const Outcome run = Record([&] { scenario.run(*this); });
      Sim().SimCtl_ClearFailures();

      const bool error = !ResultIgnored(fault.entry);
      const std::string text = ShownError(fault, told);
      EXPECT_EQ(run.errors, error ? std::vector<std::string>{text} : std::vector<std::string>{});
      if (error) {
        // Nothing more is asked of the library once a call has failed.
        std::vector<std::string> calls(dry.calls.begin(), dry.calls.begin() + static_cast<long>(position) + 1);
        calls.push_back("DravGetLastError");
        EXPECT_EQ(run.calls, calls);
        EXPECT_EQ(run.messages, std::vector<std::string>{});
      } else {
        EXPECT_EQ(run.calls, dry.calls);
        EXPECT_EQ(run.messages, dry.messages);
      }
      if (scenario.check) scenario.check(*this, fault, error);
      EXPECT_EQ(prompts.unexpectedDialogs, 0);
      // The window is still usable: its next idle pass decides every rule
      // without troubling the operator.
      bool idle = false;
      EXPECT_EQ(Record([&] { idle = window->RunIdlePass(); }).errors, std::vector<std::string>{});
      ASSERT_TRUE(idle);

      GoTo(scenario.start);
      ASSERT_FALSE(HasFatalFailure());
      prepare();
      const Outcome again = Record([&] { scenario.run(*this); });
      EXPECT_EQ(again.errors, std::vector<std::string>{});
      EXPECT_EQ(again.messages, dry.messages);
      EXPECT_EQ(again.calls, dry.calls);
      if (!error) break;
    }
  }
  RecordProperty("faults_injected", injected);
  std::cout << "[ sweep    ] " << injected << " faults injected, every one survived\n";
}

// Through the library host: the host ends at each call in turn, as a crash in
// the library would end it. The command fails with the host's stop in the
// error box, the library counts as unloaded, no host is left, and loading
// again brings the window back.
class CommandHostStopSweep : public CommandFaultSweep {};

TEST_P(CommandHostStopSweep, TheWindowCopesAtEveryCall) {
  if (dir_.Relay() == nullptr) GTEST_SKIP() << "the library is loaded in this process";
  const Scenario& scenario = GetParam();
  GoTo(scenario.start);
  ASSERT_FALSE(HasFatalFailure());
  const Outcome dry = Record([&] { scenario.run(*this); });
  ASSERT_EQ(dry.errors, std::vector<std::string>{});
  const std::vector<Fault> faults = FaultsOf(dry.calls);
  ASSERT_FALSE(faults.empty());

  for (std::size_t position = 0; position < faults.size(); ++position) {
    const Fault& fault = faults[position];
    SCOPED_TRACE(Describe(fault));
    GoTo(scenario.start);
    ASSERT_FALSE(HasFatalFailure());
    const HostEnd how = StopHostAt(*dir_.Relay(), fault, position);
    const Outcome run = Record([&] { scenario.run(*this); });
    EXPECT_EQ(run.errors, std::vector<std::string>{HostStoppedText(fault, how)});
    EXPECT_EQ(run.messages, std::vector<std::string>{});
    // The stopped call never reached the simulator, nor did anything after it.
    EXPECT_EQ(run.calls, std::vector<std::string>(dry.calls.begin(), dry.calls.begin() + static_cast<long>(position)));
    ExpectLibraryGone();
    EXPECT_EQ(prompts.unexpectedDialogs, 0);

    GoTo(scenario.start);
    ASSERT_FALSE(HasFatalFailure());
    const Outcome again = Record([&] { scenario.run(*this); });
    EXPECT_EQ(again.errors, std::vector<std::string>{});
    EXPECT_EQ(again.calls, dry.calls);
  }
  std::cout << "[ sweep    ] the host stopped at each of " << faults.size() << " calls\n";
}

const auto kScenarioName = [](const ::testing::TestParamInfo<Scenario>& info) { return std::string(info.param.name); };
INSTANTIATE_TEST_SUITE_P(Commands, CommandFaultSweep, ::testing::ValuesIn(Scenarios()), kScenarioName);
INSTANTIATE_TEST_SUITE_P(ThroughTheHost, CommandHostStopSweep, ::testing::ValuesIn(Scenarios()), kScenarioName);

}  // namespace
}  // namespace selvarex::test
