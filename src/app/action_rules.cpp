#include "app/action_rules.h"

#include <span>

namespace selvarex {

using drav::Entry;

const std::array<ActionInfo, kActionCount>& ActionTable() {
  static const std::array<ActionInfo, kActionCount> table = {{
      {ActionId::actDLLLoad, "actDLLLoad", "&Load DLL", "DLL", true, true},
      {ActionId::actDLLUnload, "actDLLUnload", "&Unload DLL", "DLL", true, true},
      {ActionId::actDravolinConnect, "actDravolinConnect", "&Connect", "Dravolin", true, true},
      {ActionId::actDravolinDisconnect, "actDravolinDisconnect", "&Disconnect", "Dravolin", true, true},
      {ActionId::actPLDReset, "actPLDReset", "&Reset PLD", "PLD", true, true},
      {ActionId::actDravolinReset, "actDravolinReset", "&Reset", "Dravolin", true, true},
      {ActionId::actDravolinSetTimeOut, "actDravolinSetTimeOut", "Set &Timeout", "Dravolin", true, true},
      {ActionId::actPLDDevEnter, "actPLDDevEnter", "Dev&Enter", "PLD", true, true},
      {ActionId::actPLDDevExit, "actPLDDevExit", "DevE&xit", "PLD", true, true},
      {ActionId::actDevSetWriteVerify, "actDevSetWriteVerify", "Write Verify", "Device", false, false},
      {ActionId::actFlashBlank, "actFlashBlank", "Blank Check", "Flash", false, true},
      {ActionId::actFlashEraseAll, "actFlashEraseAll", "Erase All", "Flash", false, true},
      {ActionId::actFlashEraseSector, "actFlashEraseSector", "Erase Sector", "Flash", false, true},
      {ActionId::actFlashRead, "actFlashRead", "Read", "Flash", false, true},
      {ActionId::actFlashProgram, "actFlashProgram", "Program", "Flash", false, true},
      {ActionId::actFlashFlashReset, "actFlashFlashReset", "Flash Reset", "Flash", false, true},
      {ActionId::actFlashGetDeviceSize, "actFlashGetDeviceSize", "Get Size", "Flash", false, true},
      {ActionId::actCounter, "actCounter", "Start Counter", "Counter", true, false},
  }};
  return table;
}

const ActionInfo& InfoOf(ActionId id) { return ActionTable()[static_cast<std::size_t>(id)]; }

bool IsStoppable(ActionId id) {
  return id == ActionId::actFlashEraseSector || id == ActionId::actFlashRead ||
         id == ActionId::actFlashProgram;
}

namespace {

using T = Term;

constexpr RuleTerm Has(Entry entry) { return RuleTerm{T::Entry, entry}; }

// Connected, a chip whose maker the library supports, the entry, a flash object.
template <Entry E>
constexpr std::array<RuleTerm, 4> kFlashCommand = {{{T::Connected}, {T::FlashProdSupported}, Has(E), {T::Flash}}};

template <Entry E>
constexpr std::array<RuleTerm, 2> kProgrammerCommand = {{{T::Connected}, Has(E)}};

constexpr std::array<RuleTerm, 1> kLoad = {{{T::DLLClosed}}};
constexpr std::array<RuleTerm, 1> kUnload = {{{T::DLLOpen}}};
constexpr std::array<RuleTerm, 5> kConnect = {{{T::NotConnected},
                                               Has(Entry::DravUsbOpen),
                                               Has(Entry::DravUsbGetPldStatus),
                                               Has(Entry::DravUsbGetLoaderVersion),
                                               Has(Entry::DravDevCreate)}};
constexpr std::array<RuleTerm, 3> kDisconnect = {
    {{T::Connected}, Has(Entry::DravUsbClose), Has(Entry::DravDevDestroy)}};
constexpr std::array<RuleTerm, 2> kWriteVerify = {{{T::Connected}, {T::FlashItemSelected}}};
constexpr std::array<RuleTerm, 5> kBlank = {{{T::Connected},
                                             {T::FlashProdSupported},
                                             Has(Entry::DravFlashBlank),
                                             {T::Flash},
                                             Has(Entry::DravFlashGetDeviceSize)}};
constexpr std::array<RuleTerm, 3> kCounter = {{{T::Connected}, {T::FlashProdSupported}, {T::Flash}}};

std::span<const RuleTerm> RuleOf(ActionId id) {
  switch (id) {
    case ActionId::actDLLLoad: return kLoad;
    case ActionId::actDLLUnload: return kUnload;
    case ActionId::actDravolinConnect: return kConnect;
    case ActionId::actDravolinDisconnect: return kDisconnect;
    case ActionId::actPLDReset: return kProgrammerCommand<Entry::DravUsbResetPLD>;
    case ActionId::actDravolinReset: return kProgrammerCommand<Entry::DravUsbReset>;
    case ActionId::actDravolinSetTimeOut: return kProgrammerCommand<Entry::DravUsbSetTimeOut>;
    case ActionId::actPLDDevEnter: return kProgrammerCommand<Entry::DravUsbDEVEnter>;
    case ActionId::actPLDDevExit: return kProgrammerCommand<Entry::DravUsbDEVExit>;
    case ActionId::actDevSetWriteVerify: return kWriteVerify;
    case ActionId::actFlashBlank: return kBlank;
    case ActionId::actFlashEraseAll: return kFlashCommand<Entry::DravFlashEraseAll>;
    case ActionId::actFlashEraseSector: return kFlashCommand<Entry::DravFlashEraseSector>;
    case ActionId::actFlashRead: return kFlashCommand<Entry::DravFlashRead>;
    case ActionId::actFlashProgram: return kFlashCommand<Entry::DravFlashWrite>;
    case ActionId::actFlashFlashReset: return kFlashCommand<Entry::DravFlashReset>;
    case ActionId::actFlashGetDeviceSize: return kFlashCommand<Entry::DravFlashGetDeviceSize>;
    case ActionId::actCounter: return kCounter;
  }
  return {};
}

bool Holds(const RuleTerm& term, RuleState& s) {
  switch (term.term) {
    case T::DLLClosed: return !s.IsDLLOpen();
    case T::DLLOpen: return s.IsDLLOpen();
    case T::NotConnected: return !s.IsConnected();
    case T::Connected: return s.IsConnected();
    case T::FlashProdSupported: return s.IsFlashProdSupported();
    case T::Entry: return s.HasEntry(term.entry);
    case T::Flash: return s.HasFlash();
    case T::FlashItemSelected: return s.FlashItemSelected();
  }
  return false;
}

}  // namespace

std::optional<RuleTerm> FirstFalseTerm(ActionId id, RuleState& s) {
  for (const RuleTerm& term : RuleOf(id)) {
    if (!Holds(term, s)) return term;
  }
  return std::nullopt;
}

bool IsActionEnabled(ActionId id, RuleState& s) {
  if (const std::optional<ActionId> running = s.RunningCommand()) return id == *running && IsStoppable(id);
  return !FirstFalseTerm(id, s).has_value();
}

std::string UnavailableText(const RuleTerm& term) {
  switch (term.term) {
    case T::DLLClosed: return "The device library is loaded already.";
    case T::DLLOpen: return "The device library is not loaded.";
    case T::NotConnected: return "The programmer is connected already.";
    case T::Connected: return "No programmer is connected.";
    case T::FlashProdSupported:
      return "The maker of the selected flash chip is not supported (Productor supported: No).";
    case T::Entry: return std::string("The device library has no ") + drav::EntryName(term.entry) + ".";
    case T::Flash: return "The selected flash chip is not supported (Flash supported: No).";
    case T::FlashItemSelected: return "No flash chip is selected.";
  }
  return {};
}

}  // namespace selvarex
