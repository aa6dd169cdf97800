#include "app/action_rules.h"

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

// Connected, a chip whose maker the library supports, the entry, a flash object.
bool FlashCommand(RuleState& s, Entry entry) {
  return s.IsConnected() && s.IsFlashProdSupported() && s.HasEntry(entry) && s.HasFlash();
}

bool ProgrammerCommand(RuleState& s, Entry entry) { return s.IsConnected() && s.HasEntry(entry); }

}  // namespace

bool IsActionEnabled(ActionId id, RuleState& s) {
  if (const std::optional<ActionId> running = s.RunningCommand()) return id == *running && IsStoppable(id);
  switch (id) {
    case ActionId::actDLLLoad:
      return !s.IsDLLOpen();
    case ActionId::actDLLUnload:
      return s.IsDLLOpen();
    case ActionId::actDravolinConnect:
      return !s.IsConnected() && s.HasEntry(Entry::DravUsbOpen) &&
             s.HasEntry(Entry::DravUsbGetPldStatus) && s.HasEntry(Entry::DravUsbGetLoaderVersion) &&
             s.HasEntry(Entry::DravDevCreate);
    case ActionId::actDravolinDisconnect:
      return s.IsConnected() && s.HasEntry(Entry::DravUsbClose) && s.HasEntry(Entry::DravDevDestroy);
    case ActionId::actPLDReset:
      return ProgrammerCommand(s, Entry::DravUsbResetPLD);
    case ActionId::actDravolinReset:
      return ProgrammerCommand(s, Entry::DravUsbReset);
    case ActionId::actDravolinSetTimeOut:
      return ProgrammerCommand(s, Entry::DravUsbSetTimeOut);
    case ActionId::actPLDDevEnter:
      return ProgrammerCommand(s, Entry::DravUsbDEVEnter);
    case ActionId::actPLDDevExit:
      return ProgrammerCommand(s, Entry::DravUsbDEVExit);
    case ActionId::actDevSetWriteVerify:
      return s.IsConnected() && s.FlashItemSelected();
    case ActionId::actFlashBlank:
      return s.IsConnected() && s.IsFlashProdSupported() && s.HasEntry(Entry::DravFlashBlank) &&
             s.HasFlash() && s.HasEntry(Entry::DravFlashGetDeviceSize);
    case ActionId::actFlashEraseAll:
      return FlashCommand(s, Entry::DravFlashEraseAll);
    case ActionId::actFlashEraseSector:
      return FlashCommand(s, Entry::DravFlashEraseSector);
    case ActionId::actFlashRead:
      return FlashCommand(s, Entry::DravFlashRead);
    case ActionId::actFlashProgram:
      return FlashCommand(s, Entry::DravFlashWrite);
    case ActionId::actFlashFlashReset:
      return FlashCommand(s, Entry::DravFlashReset);
    case ActionId::actFlashGetDeviceSize:
      return FlashCommand(s, Entry::DravFlashGetDeviceSize);
    case ActionId::actCounter:
      return s.IsConnected() && s.IsFlashProdSupported() && s.HasFlash();
  }
  return false;
}

}  // namespace selvarex
