// The enable rule of every command in every state, without widgets.
#include <gtest/gtest.h>

#include <set>

#include "device/action_rules.h"
#include "device/error_text.h"

namespace selvarex {
namespace {

using A = ActionId;
using drav::Entry;

struct FakeState : RuleState {
  bool IsDLLOpen() override { return dllOpen; }
  bool IsConnected() override { return dllOpen && connected; }
  bool IsFlashProdSupported() override {
    ++prodQueries;
    return prodSupported;
  }
  bool HasEntry(Entry e) override { return missing.count(e) == 0 && dllOpen; }
  bool HasFlash() override { return flash; }
  bool FlashItemSelected() override { return selected; }
  std::optional<A> RunningCommand() override { return running; }

  bool dllOpen = false, connected = false, prodSupported = false, flash = false, selected = false;
  std::optional<A> running;
  std::set<Entry> missing;
  int prodQueries = 0;
};

std::set<A> Enabled(FakeState& state) {
  std::set<A> enabled;
  for (const ActionInfo& info : ActionTable()) {
    if (IsActionEnabled(info.id, state)) enabled.insert(info.id);
  }
  return enabled;
}

const std::set<A> kProgrammerCommands = {A::actDLLUnload,     A::actDravolinDisconnect, A::actPLDReset,
                                         A::actDravolinReset, A::actDravolinSetTimeOut, A::actPLDDevEnter,
                                         A::actPLDDevExit};

TEST(ActionRules, EachStateEnablesExactlyItsCommands) {
  FakeState notLoaded;
  EXPECT_EQ(Enabled(notLoaded), (std::set<A>{A::actDLLLoad}));

  FakeState loaded;
  loaded.dllOpen = true;
  EXPECT_EQ(Enabled(loaded), (std::set<A>{A::actDLLUnload, A::actDravolinConnect}));
  EXPECT_EQ(loaded.prodQueries, 0) << "the library is asked only while connected";

  FakeState connected = loaded;
  connected.connected = true;
  EXPECT_EQ(Enabled(connected), kProgrammerCommands);

  FakeState selectedUnsupported = connected;
  selectedUnsupported.selected = true;
  auto expected = kProgrammerCommands;
  expected.insert(A::actDevSetWriteVerify);
  EXPECT_EQ(Enabled(selectedUnsupported), expected);

  FakeState usable = selectedUnsupported;
  usable.prodSupported = true;
  usable.flash = true;
  usable.prodQueries = 0;
  for (A a : {A::actFlashBlank, A::actFlashEraseAll, A::actFlashEraseSector, A::actFlashRead, A::actFlashProgram,
              A::actFlashFlashReset, A::actFlashGetDeviceSize, A::actCounter}) {
    expected.insert(a);
  }
  EXPECT_EQ(Enabled(usable), expected);
  EXPECT_EQ(usable.prodQueries, 8) << "one query per flash command and pass";

  // A command that holds the device holds every other one off; a block-wise
  // run keeps its own, as its Stop, and nobody asks the library.
  for (const A command : {A::actFlashEraseSector, A::actFlashRead, A::actFlashProgram, A::actCounter}) {
    FakeState running = usable;
    running.running = command;
    running.prodQueries = 0;
    EXPECT_EQ(Enabled(running), command == A::actCounter ? std::set<A>{} : std::set<A>{command})
        << InfoOf(command).name;
    EXPECT_EQ(running.prodQueries, 0);
  }
}

TEST(ActionRules, SupportedMakerWithoutFlashObjectEnablesNoFlashCommand) {
  FakeState s;
  s.dllOpen = s.connected = s.prodSupported = true;
  EXPECT_EQ(Enabled(s), kProgrammerCommands);
}

TEST(ActionRules, AMissingEntryDisablesExactlyTheCommandsThatNeedIt) {
  struct Case {
    Entry missing;
    std::set<A> disabled;
  };
  const Case cases[] = {
      {Entry::DravUsbOpen, {A::actDravolinConnect}},
      {Entry::DravDevCreate, {A::actDravolinConnect}},
      {Entry::DravUsbGetPldStatus, {A::actDravolinConnect}},
      {Entry::DravUsbGetLoaderVersion, {A::actDravolinConnect}},
      {Entry::DravUsbClose, {A::actDravolinDisconnect}},
      {Entry::DravDevDestroy, {A::actDravolinDisconnect}},
      {Entry::DravUsbResetPLD, {A::actPLDReset}},
      {Entry::DravUsbSetTimeOut, {A::actDravolinSetTimeOut}},
      {Entry::DravFlashRead, {A::actFlashRead}},
      {Entry::DravFlashWrite, {A::actFlashProgram}},
      {Entry::DravFlashGetDeviceSize, {A::actFlashGetDeviceSize, A::actFlashBlank}},
      {Entry::DravFlashBlank, {A::actFlashBlank}},
      {Entry::DravCounterGet, {}},  // the counter command tests no entry
  };
  for (const Case& c : cases) {
    for (bool connected : {false, true}) {
      FakeState full;
      full.dllOpen = true;
      full.connected = connected;
      full.selected = full.prodSupported = full.flash = true;
      FakeState lacking = full;
      lacking.missing.insert(c.missing);
      std::set<A> lost;
      const auto with = Enabled(full);
      const auto without = Enabled(lacking);
      for (A a : with) {
        if (without.count(a) == 0) lost.insert(a);
      }
      std::set<A> expected;
      for (A a : c.disabled) {
        if (with.count(a)) expected.insert(a);
      }
      EXPECT_EQ(lost, expected) << drav::EntryName(c.missing) << (connected ? " connected" : "");
    }
  }
}

TEST(ActionRules, TableHasCaptionsCategoriesAndStartStates) {
  ASSERT_EQ(ActionTable().size(), 18u);
  for (std::size_t i = 0; i < ActionTable().size(); ++i) {
    EXPECT_EQ(static_cast<std::size_t>(ActionTable()[i].id), i) << "table order";
  }
  EXPECT_STREQ(InfoOf(A::actDravolinSetTimeOut).caption, "Set &Timeout");
  EXPECT_STREQ(InfoOf(A::actPLDDevExit).caption, "DevE&xit");
  EXPECT_STREQ(InfoOf(A::actFlashProgram).category, "Flash");
  EXPECT_FALSE(InfoOf(A::actFlashRead).startsEnabled);
  EXPECT_TRUE(InfoOf(A::actCounter).startsEnabled);
  EXPECT_FALSE(InfoOf(A::actCounter).hasHint);
  EXPECT_FALSE(InfoOf(A::actDevSetWriteVerify).hasHint);
}

TEST(ErrorBox, FullStopOnlyAfterCharactersThatSortAfterIt) {
  struct Case {
    const char* message;
    const char* shown;
  };
  for (const Case c :
       {Case{"TFormMain::RaiseLastDravolinError", "TFormMain::RaiseLastDravolinError."},
        Case{"File ./Dravolin.dll doesn't exists!", "File ./Dravolin.dll doesn't exists!"}, Case{"Done.", "Done."},
        Case{"", ""}, Case{"code 5", "code 5."}, Case{"(dec)", "(dec)"}, Case{"a/", "a/."}, Case{"x-", "x-"}}) {
    EXPECT_EQ(ErrorBoxText(c.message), c.shown) << '"' << c.message << '"';
  }
}

}  // namespace
}  // namespace selvarex
