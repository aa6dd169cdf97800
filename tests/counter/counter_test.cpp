// The PostBus counter: its outcomes, its formats and its calls.
#include <gtest/gtest.h>

#include <functional>

#include "counter/postbus_counter.h"
#include "support/connected_sim.h"

namespace selvarex {
namespace {

using drav::Entry;
using test::SimSession;

struct RecordingCounterView : CounterView {
  void ShowCounterStatus(const std::string& s) override { statuses.push_back(s); }
  void ProcessMessagesOnce() override {
    pumpsAfter.push_back(statuses.size());
    if (duringPump) duringPump();
  }
  void ShowCounterResult(const std::string& t, const std::string& time, const std::string& v) override {
    ticks = t;
    this->time = time;
    value = v;
  }
  std::vector<std::string> statuses;
  std::vector<std::size_t> pumpsAfter;
  std::string ticks = "0", time = "0", value = "0";
  std::function<void()> duringPump;  // what the operator's queued clicks do
};

class Counter : public ::testing::Test {
 protected:
  void SetUp() override {
    s.ConnectAndSelect(0);
    s.sim->SimCtl_ResetCounts();
  }
  void Script(std::vector<SimCounterPoll> polls) {
    s.sim->SimCtl_ScriptCounter(polls.data(), static_cast<std::uint32_t>(polls.size()));
  }
  SimSession s;
  RecordingCounterView view;
};

TEST(CounterFormat, TimeHasOneDecimalAndNoGrouping) {
  struct Case {
    std::uint32_t ticks;
    const char* text;
  };
  for (const Case c : {Case{0, "0.0uS"}, Case{3, "0.1uS"}, Case{1000, "41.6uS"}, Case{24038, "1000.0uS"},
                       Case{4294967295u, "178670639.5uS"}}) {
    EXPECT_EQ(FormatCounterTime(c.ticks, '.'), c.text) << c.ticks;
  }
  EXPECT_EQ(FormatCounterTime(24038, ','), "1000,0uS");
  EXPECT_EQ(FormatCounterValue(10), "0A");
  EXPECT_EQ(FormatCounterValue(255), "FF");
}

TEST_F(Counter, FirstPollStoppedShowsTheResult) {
  Script({{0, 1000, 10, 0}});
  RunCounter(s.programmer, view, '.');
  EXPECT_EQ(view.statuses, (std::vector<std::string>{"BUSY", "Ready"}));
  EXPECT_EQ(view.pumpsAfter, std::vector<std::size_t>{1}) << "BUSY must be drawn before polling";
  EXPECT_EQ(view.ticks, "1000");
  EXPECT_EQ(view.time, "41.6uS");
  EXPECT_EQ(view.value, "0A");
  // One discarded reading, reset, start, one poll.
  EXPECT_EQ(s.sim->CallLog(),
            (std::vector<std::string>{"DravCounterGet", "DravCounterReset", "DravCounterStart", "DravCounterGet"}));
  EXPECT_EQ(s.sim->LastArgs(Entry::DravCounterStart), std::vector<std::uint32_t>{s.programmer.FlashHandle()});
}

TEST_F(Counter, TimeOutsKeepTheLastResults) {
  struct Case {
    const char* name;
    std::vector<SimCounterPoll> polls;
    std::uint32_t polled;
  };
  std::vector<SimCounterPoll> stopsOnLast(999, SimCounterPoll{1, 5, 1, 0});
  stopsOnLast.push_back({0, 77, 2, 0});
  std::vector<SimCounterPoll> stopsAfterBudget(1000, SimCounterPoll{1, 5, 1, 0});
  stopsAfterBudget.push_back({0, 77, 2, 0});
  const Case cases[] = {
      {"time-out flag with the stop", {{1, 1, 1, 0}, {0, 500, 3, 1}}, 2},
      {"stopped on the 1000th poll", stopsOnLast, 1000},
      {"still running after 1000 polls", stopsAfterBudget, 1000},
  };
  for (const Case& c : cases) {
    s.sim->SimCtl_ResetCounts();
    view = {};
    view.ticks = "12";
    Script(c.polls);
    RunCounter(s.programmer, view, '.');
    EXPECT_EQ(view.statuses.back(), "Time Out") << c.name;
    EXPECT_EQ(view.ticks, "12") << c.name;
    EXPECT_EQ(s.sim->Calls(Entry::DravCounterGet), c.polled + 1) << c.name;
  }
}

TEST_F(Counter, AFailingCallRaisesAndLeavesBusy) {
  for (Entry failing : {Entry::DravCounterGet, Entry::DravCounterReset, Entry::DravCounterStart}) {
    view = {};
    s.sim->SimCtl_ResetCounts();
    s.sim->Fail(failing, 1, 1, "counter failed");
    EXPECT_EQ(SimSession::ErrorOf([&] { RunCounter(s.programmer, view, '.'); }), "counter failed");
    EXPECT_EQ(view.statuses, std::vector<std::string>{"BUSY"}) << drav::EntryName(failing);
    EXPECT_EQ(view.ticks, "0");
  }
  // Start failing: the poll loop is never entered.
  EXPECT_EQ(s.sim->Calls(Entry::DravCounterGet), 1u);
}

// The pump before polling runs whatever the operator queued; if that unloaded
// the library, not one more call may go to it.
TEST_F(Counter, ALibraryUnloadedDuringThePumpGetsNoFurtherCall) {
  view.duringPump = [&] { s.library.Unload(); };
  const std::string error = SimSession::ErrorOf([&] { RunCounter(s.programmer, view, '.'); });
  EXPECT_NE(error.find("unloaded"), std::string::npos) << error;
  EXPECT_EQ(s.sim->SimCtl_TotalCalls(), 0u);
  EXPECT_EQ(view.statuses, std::vector<std::string>{"BUSY"});
}

TEST(CounterMissingEntries, DoesNothingAtAll) {
  SimSession s("without_counter");
  s.ConnectAndSelect(0);
  RecordingCounterView view;
  RunCounter(s.programmer, view, '.');
  EXPECT_TRUE(view.statuses.empty());
  EXPECT_TRUE(view.pumpsAfter.empty());
}

}  // namespace
}  // namespace selvarex
