#include "app/form_main.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QProgressBar>
#include <QRadioButton>
#include <QScreen>
#include <algorithm>

#include "app/dialogs/timeout_dialog.h"
#include "app/prompts.h"
#include "counter/postbus_counter.h"
#include "device/device_commands.h"
#include "device/error_text.h"
#include "device/still_loaded.h"
#include "transfer/operation_log.h"

namespace selvarex {

TFormMain::TFormMain(Prompts& prompts, QWidget* parent)
    : QWidget(parent), prompts_(prompts), logSettings_(std::make_unique<LogSettings>()) {
  setWindowTitle(QStringLiteral("Selvarex v1.37"));
  setWindowFlags(Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
  QFont formFont = font();
  formFont.setPixelSize(14);
  setFont(formFont);
  setFixedSize(793, 581);
  move(1098, 140);

  CreateActions();
  CreateControls();
}

TFormMain::~TFormMain() = default;

void TFormMain::SetLogSettings(const LogSettings& settings) { *logSettings_ = settings; }

void TFormMain::ShowErrorBox(const std::string& message) {
  prompts_.ShowError(this, QString::fromStdString(ErrorBoxText(message)));
}

void TFormMain::RunCommand(const std::function<void()>& command) {
  // The one place where a command's error ends: nothing crosses the event loop.
  try {
    command();
  } catch (const std::exception& error) {
    ShowCommandError(error.what());
  } catch (...) {
    ShowCommandError("Unknown error");
  }
}

void TFormMain::ShowCommandError(const std::string& message) {
  // A library that went away during the command (its host stopped) leaves
  // nothing behind to call: the window shows the unloaded state at once.
  if (!FLibrary.IsOpen()) FProgrammer.LibraryGone(*this);
  ShowErrorBox(message);
}

// Library and connection.

void TFormMain::actDLLLoadExecute() {
  FLibrary.Load();
  UpdateInfo();
}

void TFormMain::actDLLUnloadExecute() {
  if (IsConnected()) CloseUsbDevice();
  FLibrary.Unload();
  FProgrammer.ForgetLibraryObjects();
  UpdateInfo();
}

void TFormMain::actDravolinConnectExecute() { FProgrammer.Connect(*this); }
void TFormMain::actDravolinDisconnectExecute() { FProgrammer.Disconnect(*this); }
void TFormMain::UpdateInfo() { FProgrammer.UpdateInfo(*this); }
void TFormMain::CloseUsbDevice() { FProgrammer.CloseUsbDevice(*this); }

void TFormMain::rgrpSelFlashClick(int index) {
  if (runningCommand_) return;
  RunCommand([&] { FProgrammer.SelectFlash(static_cast<std::uint32_t>(index), *this); });
}

void TFormMain::ShowLabel(PanelLabel label, const std::string& text) {
  QLabel* target = nullptr;
  switch (label) {
    case PanelLabel::DeviceCount: target = lblDeviceCount; break;
    case PanelLabel::DLLVersion: target = lblDLLVersion; break;
    case PanelLabel::DriverVersion: target = lblDriverVersion; break;
    case PanelLabel::PldId: target = lblPldId; break;
    case PanelLabel::LoaderVersion: target = lblLoaderVersion; break;
    case PanelLabel::PLDStatus: target = lblPLDStatus; break;
    case PanelLabel::FlashID: target = lblFlashID; break;
    case PanelLabel::FlashFullName: target = lblFlashFullName; break;
    case PanelLabel::FlashProdName: target = lblFlashProdName; break;
    case PanelLabel::FlashSupported: target = lblFlashSupported; break;
    case PanelLabel::FlashProductorSupported: target = lblFlashProductorSupported; break;
  }
  const QString shown = QString::fromStdString(text);
  target->setText(shown);
  // Long chip names do not fit the panel: the whole text is one hover away.
  target->setToolTip(shown);
}

void TFormMain::ResetFlashSelector(bool enabled) {
  rgrpSelFlash->setEnabled(enabled);
  // Clearing the selection is not a selection: no toggled(true) is emitted.
  rgrpSelFlashItems->setExclusive(false);
  for (QAbstractButton* item : rgrpSelFlashItems->buttons()) item->setChecked(false);
  rgrpSelFlashItems->setExclusive(true);
}

// Single-shot commands.

void TFormMain::Show(const std::string& text) { prompts_.ShowMessage(this, QString::fromStdString(text)); }
void TFormMain::ErrorBeep() { prompts_.Beep(); }

void TFormMain::actPLDResetExecute() { commands::ResetPld(FProgrammer); }
void TFormMain::actDravolinResetExecute() { commands::ResetProgrammer(FProgrammer); }
void TFormMain::actPLDDevEnterExecute() { commands::DevEnter(FProgrammer, *this); }
void TFormMain::actPLDDevExitExecute() { commands::DevExit(FProgrammer, *this); }
void TFormMain::actFlashBlankExecute() { commands::BlankCheck(FProgrammer, *this); }
void TFormMain::actFlashEraseAllExecute() { commands::EraseAll(FProgrammer, *this); }
void TFormMain::actFlashFlashResetExecute() { commands::FlashReset(FProgrammer, *this); }
void TFormMain::actFlashGetDeviceSizeExecute() { commands::GetDeviceSize(FProgrammer, *this); }

void TFormMain::actDravolinSetTimeOutExecute() {
  TfrmTimeout dialog;
  dialog.SetRxTimeout(5000);
  dialog.SetTxTimeout(5000);
  if (prompts_.ExecDialog(dialog) != QDialog::Accepted) return;
  RequireStillLoaded(FLibrary);  // the dialog pumped messages
  const std::int32_t tx = dialog.TxTimeout();
  const std::int32_t rx = dialog.RxTimeout();
  commands::SetTimeOut(FProgrammer, rx, tx);
}

// PostBus counter.

void TFormMain::actCounterExecute() {
  const QString separator = QLocale().decimalPoint();
  HoldDeviceDuring(ActionId::actCounter,
                   [&] { RunCounter(FProgrammer, *this, separator.isEmpty() ? '.' : separator.at(0).toLatin1()); });
}

void TFormMain::ShowCounterStatus(const std::string& status) { lblCntStatus->setText(QString::fromStdString(status)); }

void TFormMain::ProcessMessagesOnce() { QApplication::processEvents(); }

void TFormMain::ShowCounterResult(const std::string& ticks, const std::string& time, const std::string& value) {
  lblCnt->setText(QString::fromStdString(ticks));
  lblTiming->setText(QString::fromStdString(time));
  lblValue->setText(QString::fromStdString(value));
}

// Closing.

bool TFormMain::FormClose() {
  // Unloading closes an open programmer first; when that fails the error is
  // shown and the window stays open.
  bool unloaded = true;
  if (!IsActionEnabled(ActionId::actDLLUnload, *this)) return true;
  const DravolinLibrary::Closing closing(FLibrary);
  try {
    actDLLUnloadExecute();
  } catch (const std::exception& error) {
    // A library that is gone all the same (its host stopped) holds nothing
    // to retry: the window closes after the error.
    unloaded = !FLibrary.IsOpen();
    ShowCommandError(error.what());
  }
  return unloaded;
}

void TFormMain::closeEvent(QCloseEvent* event) {
  if (runningCommand_) {
    // A run stops after its current block, the counter ends its measurement;
    // the window closes then.
    stopRequested_ = true;
    closeAfterRun_ = true;
    event->ignore();
    return;
  }
  closeAfterRun_ = false;
  if (FormClose()) {
    event->accept();
  } else {
    event->ignore();
  }
}

void TFormMain::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (placedOnScreen_) return;
  placedOnScreen_ = true;
  // The designed position, unless the window would not be wholly on the
  // screen there (a smaller screen, or an X server without a window manager
  // to move it): then as near to it as the screen allows.
  const QRect screen = this->screen()->availableGeometry();
  const QRect frame = frameGeometry();
  move(std::max(screen.left(), std::min(frame.left(), screen.right() + 1 - frame.width())),
       std::max(screen.top(), std::min(frame.top(), screen.bottom() + 1 - frame.height())));
}

void TFormMain::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier && runningCommand_ &&
      IsStoppable(*runningCommand_)) {
    ExecuteAction(*runningCommand_);
    return;
  }
  QWidget::keyPressEvent(event);
}

}  // namespace selvarex
