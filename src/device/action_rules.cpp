#include "device/action_rules.h"

namespace selvarex {

using drav::Entry;

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

constexpr std::array<ActionInfo, kActionCount> kActions = {{
    {ActionId::actDLLLoad, "actDLLLoad", "&Load DLL", "DLL", true, true, kLoad},
    {ActionId::actDLLUnload, "actDLLUnload", "&Unload DLL", "DLL", true, true, kUnload},
    {ActionId::actDravolinConnect, "actDravolinConnect", "&Connect", "Dravolin", true, true, kConnect},
    {ActionId::actDravolinDisconnect, "actDravolinDisconnect", "&Disconnect", "Dravolin", true, true, kDisconnect},
    {ActionId::actPLDReset, "actPLDReset", "&Reset PLD", "PLD", true, true, kProgrammerCommand<Entry::DravUsbResetPLD>},
    {ActionId::actDravolinReset, "actDravolinReset", "&Reset", "Dravolin", true, true,
     kProgrammerCommand<Entry::DravUsbReset>},
    {ActionId::actDravolinSetTimeOut, "actDravolinSetTimeOut", "Set &Timeout", "Dravolin", true, true,
     kProgrammerCommand<Entry::DravUsbSetTimeOut>},
    {ActionId::actPLDDevEnter, "actPLDDevEnter", "Dev&Enter", "PLD", true, true,
     kProgrammerCommand<Entry::DravUsbDEVEnter>},
    {ActionId::actPLDDevExit, "actPLDDevExit", "DevE&xit", "PLD", true, true,
     kProgrammerCommand<Entry::DravUsbDEVExit>},
    {ActionId::actDevSetWriteVerify, "actDevSetWriteVerify", "Write Verify", "Device", false, false, kWriteVerify},
    {ActionId::actFlashBlank, "actFlashBlank", "Blank Check", "Flash", false, true, kBlank},
    {ActionId::actFlashEraseAll, "actFlashEraseAll", "Erase All", "Flash", false, true,
     kFlashCommand<Entry::DravFlashEraseAll>},
    {ActionId::actFlashEraseSector, "actFlashEraseSector", "Erase Sector", "Flash", false, true,
     kFlashCommand<Entry::DravFlashEraseSector>},
    {ActionId::actFlashRead, "actFlashRead", "Read", "Flash", false, true, kFlashCommand<Entry::DravFlashRead>},
    {ActionId::actFlashProgram, "actFlashProgram", "Program", "Flash", false, true,
     kFlashCommand<Entry::DravFlashWrite>},
    {ActionId::actFlashFlashReset, "actFlashFlashReset", "Flash Reset", "Flash", false, true,
     kFlashCommand<Entry::DravFlashReset>},
    {ActionId::actFlashGetDeviceSize, "actFlashGetDeviceSize", "Get Size", "Flash", false, true,
     kFlashCommand<Entry::DravFlashGetDeviceSize>},
    {ActionId::actCounter, "actCounter", "Start Counter", "Counter", true, false, kCounter},
}};
static_assert(InIdOrder(kActions));

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

const std::array<ActionInfo, kActionCount>& ActionTable() { return kActions; }

const ActionInfo& InfoOf(ActionId id) { return kActions[static_cast<std::size_t>(id)]; }

bool IsStoppable(ActionId id) {
  return id == ActionId::actFlashEraseSector || id == ActionId::actFlashRead || id == ActionId::actFlashProgram;
}

std::optional<RuleTerm> FirstFalseTerm(ActionId id, RuleState& s) {
  for (const RuleTerm& term : InfoOf(id).rule) {
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
