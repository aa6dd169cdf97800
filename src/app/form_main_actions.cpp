// Which handlers run each command of the main window. A new command is a row
// here, a row in the action table (action_rules.cpp) and its execute handler;
// its rule is applied at every idle pass unless the row names an update
// handler of its own.
#include "app/form_main.h"

namespace selvarex {

const TFormMain::ActionHandlers& TFormMain::HandlersOf(ActionId id) {
  using A = ActionId;
  using W = TFormMain;
  static constexpr std::array<ActionHandlers, kActionCount> kHandlers = {{
      {A::actDLLLoad, &W::actDLLLoadExecute},
      {A::actDLLUnload, &W::actDLLUnloadExecute},
      {A::actDravolinConnect, &W::actDravolinConnectExecute},
      {A::actDravolinDisconnect, &W::actDravolinDisconnectExecute},
      {A::actPLDReset, &W::actPLDResetExecute},
      {A::actDravolinReset, &W::actDravolinResetExecute},
      {A::actDravolinSetTimeOut, &W::actDravolinSetTimeOutExecute},
      {A::actPLDDevEnter, &W::actPLDDevEnterExecute},
      {A::actPLDDevExit, &W::actPLDDevExitExecute},
      {A::actDevSetWriteVerify, &W::actDevSetWriteVerifyExecute, &W::actDevSetWriteVerifyUpdate},
      {A::actFlashBlank, &W::actFlashBlankExecute},
      {A::actFlashEraseAll, &W::actFlashEraseAllExecute},
      {A::actFlashEraseSector, &W::actFlashEraseSectorExecute},
      {A::actFlashRead, &W::actFlashReadExecute},
      {A::actFlashProgram, &W::actFlashProgramExecute},
      {A::actFlashFlashReset, &W::actFlashFlashResetExecute},
      {A::actFlashGetDeviceSize, &W::actFlashGetDeviceSizeExecute},
      {A::actCounter, &W::actCounterExecute},
  }};
  static_assert(InIdOrder(kHandlers));
  return kHandlers[static_cast<std::size_t>(id)];
}

}  // namespace selvarex
