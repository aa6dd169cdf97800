// The enable rules of the main window's commands, applied at every idle pass.
#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>

#include "app/form_main.h"

namespace selvarex {

bool TFormMain::IsDLLOpen() { return FLibrary.IsOpen(); }
bool TFormMain::IsConnected() { return FProgrammer.IsConnected(); }
bool TFormMain::IsFlashProdSupported() { return FProgrammer.IsFlashProdSupported(); }
bool TFormMain::HasEntry(drav::Entry entry) { return FLibrary.Has(entry); }
bool TFormMain::HasFlash() { return FProgrammer.HasFlash(); }
bool TFormMain::FlashItemSelected() { return SelectedFlashIndex() >= 0; }
std::optional<ActionId> TFormMain::RunningCommand() { return runningCommand_; }

int TFormMain::SelectedFlashIndex() const { return rgrpSelFlashItems->checkedId(); }

void TFormMain::ApplyRule(ActionId id) { ActionOf(id)->setEnabled(IsActionEnabled(id, *this)); }

void TFormMain::UpdateAction(ActionId id) {
  const auto update = HandlersOf(id).update;
  if (update != nullptr) {
    std::invoke(update, this);
  } else {
    ApplyRule(id);
  }
}

// The action itself stays disabled; its rule drives the check box.
void TFormMain::actDevSetWriteVerifyUpdate() {
  cbxFlashVerifyWrite->setEnabled(IsActionEnabled(ActionId::actDevSetWriteVerify, *this));
}

bool TFormMain::RunIdlePass() {
  if (!isVisible() || !isEnabled() || QApplication::activeModalWidget() != nullptr) return false;
  std::optional<std::string> failure;
  for (const ActionInfo& info : ActionTable()) {
    try {
      UpdateAction(info.id);
    } catch (const std::exception& error) {
      // A rule that cannot be decided leaves its command unavailable; the
      // failing query is not repeated (see IsFlashProdSupported), so the box
      // appears once and every other command stays reachable.
      ActionOf(info.id)->setEnabled(false);
      if (!failure) failure = error.what();
    }
  }
  if (failure) ShowCommandError(*failure);
  emit idlePassDone();
  return true;
}

void TFormMain::ExecuteAction(ActionId id) {
  if (runningCommand_) {
    // While a run holds the device its own command, and only that, stops it.
    if (IsActionEnabled(id, *this)) stopRequested_ = true;
    return;
  }
  bool enabled = false;
  RunCommand([&] { enabled = IsActionEnabled(id, *this); });
  if (enabled) RunCommand([&] { std::invoke(HandlersOf(id).execute, this); });
}

}  // namespace selvarex
