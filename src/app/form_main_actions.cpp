// Which handlers run each command of the main window. A new command is a row
// here, a row in the action table (action_rules.cpp) and its execute handler.
#include "app/form_main.h"

namespace selvarex {

const TFormMain::ActionHandlers& TFormMain::HandlersOf(ActionId id) {
  using A = ActionId;
  using W = TFormMain;
  static constexpr std::array<ActionHandlers, kActionCount> kHandlers = {{
      {A::actDLLLoad, &W::actDLLLoadExecute, &W::EnableIfDLLIsClosed},
      {A::actDLLUnload, &W::actDLLUnloadExecute, &W::EnableIfDLLIsOpen},
      {A::actDravolinConnect, &W::actDravolinConnectExecute, &W::actDravolinConnectUpdate},
      {A::actDravolinDisconnect, &W::actDravolinDisconnectExecute, &W::actDravolinDisconnectUpdate},
      {A::actPLDReset, &W::actPLDResetExecute, &W::actPLDResetUpdate},
      {A::actDravolinReset, &W::actDravolinResetExecute, &W::actDravolinResetUpdate},
      {A::actDravolinSetTimeOut, &W::actDravolinSetTimeOutExecute, &W::actDravolinSetTimeOutUpdate},
      {A::actPLDDevEnter, &W::actPLDDevEnterExecute, &W::actPLDDevEnterUpdate},
      {A::actPLDDevExit, &W::actPLDDevExitExecute, &W::actPLDDevExitUpdate},
      {A::actDevSetWriteVerify, &W::actDevSetWriteVerifyExecute, &W::actDevSetWriteVerifyUpdate},
      {A::actFlashBlank, &W::actFlashBlankExecute, &W::actFlashBlankUpdate},
      {A::actFlashEraseAll, &W::actFlashEraseAllExecute, &W::actFlashEraseAllUpdate},
      {A::actFlashEraseSector, &W::actFlashEraseSectorExecute, &W::actFlashEraseSectorUpdate},
      {A::actFlashRead, &W::actFlashReadExecute, &W::actFlashReadUpdate},
      {A::actFlashProgram, &W::actFlashProgramExecute, &W::actFlashProgramUpdate},
      {A::actFlashFlashReset, &W::actFlashFlashResetExecute, &W::actFlashFlashResetUpdate},
      {A::actFlashGetDeviceSize, &W::actFlashGetDeviceSizeExecute, &W::actFlashGetDeviceSizeUpdate},
      {A::actCounter, &W::actCounterExecute, &W::actCounterUpdate},
  }};
  static_assert(InIdOrder(kHandlers));
  return kHandlers[static_cast<std::size_t>(id)];
}

}  // namespace selvarex
