// The main window: every control, the 18 commands with their enable rules,
// and the handlers, which delegate to the widget-free device, transfer and
// counter logic.
#pragma once

#include <QString>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "counter/counter_view.h"
#include "device/action_rules.h"
#include "device/command_reporter.h"
#include "device/connection_view.h"
#include "device/dravolin_library.h"
#include "device/programmer.h"
#include "transfer/process_host.h"
#include "transfer/progress_meter.h"

class QAction;
class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QRadioButton;

namespace selvarex {

class Prompts;
struct LogSettings;
struct ProcessResult;
struct TransferTarget;

class TFormMain : public QWidget,
                  private RuleState,
                  private ConnectionView,
                  private CommandReporter,
                  private CounterView,
                  private ProcessHost {
  Q_OBJECT

 public:
  explicit TFormMain(Prompts& prompts, QWidget* parent = nullptr);
  ~TFormMain() override;

  bool IsDLLOpen() override;
  bool IsConnected() override;
  bool IsFlashProdSupported() override;

  // Evaluates every enable rule, as the application does whenever it becomes
  // idle; skipped while a modal window is open or the window is hidden or
  // disabled. Returns whether the rules were evaluated.
  bool RunIdlePass();
  // Runs a command as the operator's click does: its rule is evaluated once
  // more first, and an error reaches the operator in the error box.
  void ExecuteAction(ActionId id);
  QAction* ActionOf(ActionId id) const { return Action[static_cast<std::size_t>(id)]; }
  // The item chosen in the flash selector, -1 for none.
  int SelectedFlashIndex() const;

  // Where the block-wise processes write their log; tests point it elsewhere.
  void SetLogSettings(const LogSettings& settings);
  // The clock that paces the progress bar during a run; tests use their own.
  void SetRunClock(const RunClock& clock) { progress_.SetClock(clock); }

  const DravolinLibrary& Library() const { return FLibrary; }
  const Programmer& Connection() const { return FProgrammer; }

 signals:
  // Emitted after every evaluated idle pass (start-up measurements use it).
  void idlePassDone();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;
  // Esc during a block-wise run does what its Stop button does.
  void keyPressEvent(QKeyEvent* event) override;

 private:
  // The handlers the window runs for one command: its execute handler, and an
  // update handler where applying the row's rule (ApplyRule) is not enough.
  struct ActionHandlers {
    ActionId id;
    void (TFormMain::*execute)();
    void (TFormMain::*update)() = nullptr;
  };
  // The handlers of every command, in table order (form_main_actions.cpp).
  static const ActionHandlers& HandlersOf(ActionId id);

  // Building the window (form_main_layout.cpp).
  void CreateControls();
  void CreateActions();
  QGroupBox* NewGroup(const char* name, const QString& caption, int left, int top, int width, int height);
  // A value label of the information or flash panel, with its caption.
  QLabel* NewPanelValue(QGroupBox* group, PanelLabel label, const char* valueName, int top, int captionWidth);
  QPushButton* NewButton(QGroupBox* group, const char* name, ActionId action, int left, int top,
                         const QString& ownCaption = QString());

  // Enable rules (form_main_rules.cpp).
  bool HasEntry(drav::Entry entry) override;
  bool HasFlash() override;
  bool FlashItemSelected() override;
  std::optional<ActionId> RunningCommand() override;
  void ApplyRule(ActionId id);
  // The command's update handler, or its rule applied.
  void UpdateAction(ActionId id);
  void actDevSetWriteVerifyUpdate();
  bool FormClose();

  // Handlers (form_main.cpp, form_main_transfer.cpp).
  void RunCommand(const std::function<void()>& command);
  void ShowErrorBox(const std::string& message);
  void ShowCommandError(const std::string& message);
  void actDLLLoadExecute();
  void actDLLUnloadExecute();
  void actDravolinConnectExecute();
  void actDravolinDisconnectExecute();
  void rgrpSelFlashClick(int index);
  void actDevSetWriteVerifyExecute() {}
  void actPLDResetExecute();
  void actDravolinResetExecute();
  void actDravolinSetTimeOutExecute();
  void actPLDDevEnterExecute();
  void actPLDDevExitExecute();
  void actFlashBlankExecute();
  void actFlashEraseAllExecute();
  void actFlashFlashResetExecute();
  void actFlashGetDeviceSizeExecute();
  void actCounterExecute();
  void actFlashEraseSectorExecute();
  void actFlashProgramExecute();
  void actFlashReadExecute();
  void UpdateInfo();
  void CloseUsbDevice();

  // Runs work that pumps messages while it uses the device (a block-wise run,
  // the counter) with every other command held off; a close asked for in the
  // meantime closes the window once the work has ended.
  void HoldDeviceDuring(ActionId command, const std::function<void()>& work);
  // Runs a block-wise process that way; shows its closing message, then puts
  // the progress bar back to 0.
  void RunProcess(ActionId command, const std::function<ProcessResult()>& process);
  TransferTarget Target() const;
  // The bar at the meter's position, with the run's figures, or the plain
  // percentage when there are none.
  void ShowProgress(const QString& figures);

  // ConnectionView
  void ShowLabel(PanelLabel label, const std::string& text) override;
  void ResetFlashSelector(bool enabled) override;
  // CommandReporter
  void Show(const std::string& text) override;
  void ErrorBeep() override;
  // CounterView
  void ShowCounterStatus(const std::string& status) override;
  void ProcessMessagesOnce() override;
  void ShowCounterResult(const std::string& ticks, const std::string& time, const std::string& value) override;
  // ProcessHost
  void SetProgressRange(std::uint32_t maximum) override;
  void RunStarts(std::uint32_t cycles, RunUnit unit) override;
  void BlockDone() override;
  bool StopRequested() override;

  // Controls, by group.
  QGroupBox* GroupBox1;
  QPushButton* Button1;
  QPushButton* Button2;
  QGroupBox* GroupBox2;
  QPushButton* Button3;
  QPushButton* Button4;
  QGroupBox* rgrpSelFlash;
  QButtonGroup* rgrpSelFlashItems;
  QGroupBox* GroupBox3;
  QLabel* lblDeviceCount;
  QLabel* lblDLLVersion;
  QLabel* lblDriverVersion;
  QLabel* lblPLDStatus;
  QLabel* lblLoaderVersion;
  QLabel* lblPldId;
  QGroupBox* GroupBox4;
  QPushButton* Button5;
  QPushButton* Button6;
  QPushButton* Button7;
  QPushButton* Button8;
  QPushButton* Button9;
  QGroupBox* GroupBox5;
  QPushButton* Button11;
  QLabel* lblCntStatus;
  QLabel* lblCnt;
  QLabel* lblTiming;
  QLabel* lblValue;
  QGroupBox* gboxFlash;
  QLabel* lblFlashID;
  QLabel* lblFlashFullName;
  QLabel* lblFlashProdName;
  QLabel* lblFlashSupported;
  QLabel* lblFlashProductorSupported;
  QGroupBox* gbxFlashOperations;
  QPushButton* Button12;
  QPushButton* Button14;
  QPushButton* Button22;
  QPushButton* Button17;
  QPushButton* Button13;
  QPushButton* Button16;
  QCheckBox* cbxFlashVerifyWrite;
  QPushButton* Button10;
  QProgressBar* ProgressBar1;

  // The action list, in table order.
  std::array<QAction*, kActionCount> Action{};

  Prompts& prompts_;
  DravolinLibrary FLibrary;
  Programmer FProgrammer{FLibrary};
  std::unique_ptr<LogSettings> logSettings_;
  ProgressMeter progress_;
  char decimalSeparator_ = '.';
  std::optional<ActionId> runningCommand_;
  bool stopRequested_ = false;
  bool closeAfterRun_ = false;
  bool placedOnScreen_ = false;
};

}  // namespace selvarex
