// The three block-wise processes as the main window runs them.
#include <algorithm>
#include <optional>

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QLocale>
#include <QProgressBar>

#include "app/dialogs/erase_sector_dialog.h"
#include "app/dialogs/flash_read_dialog.h"
#include "app/dialogs/flash_write_dialog.h"
#include "app/form_main.h"
#include "app/prompts.h"
#include "transfer/block_geometry.h"
#include "transfer/dump_reading.h"
#include "transfer/dump_writing.h"
#include "transfer/required_entries.h"
#include "transfer/sector_erase.h"

namespace selvarex {

namespace {

// The core carries file names as UTF-8, so any name the dialog gives opens.
std::string FileNameOf(const QString& name) { return name.toStdString(); }

}  // namespace

TransferTarget TFormMain::Target() const {
  return TransferTarget{FLibrary, FProgrammer.FlashHandle(), SelectedFlashIndex()};
}

void TFormMain::HoldDeviceDuring(ActionId command, const std::function<void()>& work) {
  // The message pumping inside the work would otherwise let the operator
  // unload the library or start a second run underneath it.
  runningCommand_ = command;
  stopRequested_ = false;
  const bool selectorWasEnabled = rgrpSelFlash->isEnabled();
  for (const ActionInfo& info : ActionTable()) UpdateAction(info.id);
  rgrpSelFlash->setEnabled(false);
  if (IsStoppable(command)) ActionOf(command)->setText(QString::fromLatin1(kStopCaption));

  struct Release {
    TFormMain& window;
    ActionId command;
    bool selectorEnabled;
    ~Release() {
      window.runningCommand_.reset();
      window.ActionOf(command)->setText(QString::fromLatin1(InfoOf(command).caption));
      window.rgrpSelFlash->setEnabled(selectorEnabled);
      if (window.closeAfterRun_) QMetaObject::invokeMethod(&window, &QWidget::close, Qt::QueuedConnection);
    }
  } release{*this, command, selectorWasEnabled};
  work();
}

void TFormMain::RunProcess(ActionId command, const std::function<ProcessResult()>& process) {
  const QString separator = QLocale().decimalPoint();
  decimalSeparator_ = separator.isEmpty() ? '.' : separator.at(0).toLatin1();
  progress_.StartRun();
  // On every way out the bar shows where the run stopped, as a plain percentage.
  struct ShowWhereItStopped {
    TFormMain& window;
    ~ShowWhereItStopped() { window.ShowProgress(QString()); }
  };
  ProcessResult result;
  {
    const ShowWhereItStopped onEveryWayOut{*this};
    HoldDeviceDuring(command, [&] { result = process(); });
  }
  // A run stopped by closing the window says nothing: the window closes.
  if (closeAfterRun_) return;
  Show(result.message);
  progress_.Rewind();
  ShowProgress(QString());
}

void TFormMain::actFlashReadExecute() {
  RequireEntries(FLibrary, kDumpReadingEntries);
  std::optional<DumpReadingParams> params;
  {
    TfrmFlashRead dialog(prompts_);
    dialog.SetAddress(0);
    dialog.SetSize(static_cast<std::int32_t>(nand::kDefaultBytes));
    if (prompts_.ExecDialog(dialog) != QDialog::Accepted) return;
    params = DumpReadingParams{dialog.Address(), dialog.Size(), FileNameOf(dialog.FileName())};
  }  // the dialog goes before the run: its file dialog's directory listing would take turns in it
  RunProcess(ActionId::actFlashRead, [&] { return RunDumpReading(Target(), *params, *this, *logSettings_); });
}

void TFormMain::actFlashProgramExecute() {
  RequireEntries(FLibrary, kDumpWritingEntries);
  std::optional<DumpWritingParams> params;
  {
    TfrmFlashWrite dialog(prompts_);
    dialog.SetAddress(0);
    dialog.SetSize(static_cast<std::int32_t>(nand::kDefaultBytes));
    if (prompts_.ExecDialog(dialog) != QDialog::Accepted) return;
    params = DumpWritingParams{dialog.Address(), dialog.Size(), FileNameOf(dialog.FileName()),
                               cbxFlashVerifyWrite->isChecked()};
  }  // as for reading
  RunProcess(ActionId::actFlashProgram, [&] { return RunDumpWriting(Target(), *params, *this, *logSettings_); });
}

void TFormMain::actFlashEraseSectorExecute() {
  RequireEntries(FLibrary, kSectorEraseEntries);
  // The range is set before the dialog and stays 0 to 1024 whatever the run.
  SetProgressRange(nand::kDefaultBlocks);
  TfrmEraseSector dialog(prompts_);
  dialog.SetAddress(0);
  dialog.SetNumber(static_cast<std::int32_t>(nand::kDefaultBlocks));
  if (prompts_.ExecDialog(dialog) != QDialog::Accepted) return;
  const SectorEraseParams params{dialog.Address(), dialog.Number(), cbxFlashVerifyWrite->isChecked()};
  RunProcess(ActionId::actFlashEraseSector, [&] { return RunSectorErase(Target(), params, *this, *logSettings_); });
}

void TFormMain::SetProgressRange(std::uint32_t maximum) {
  progress_.SetRange(maximum);
  // Qt draws a range of 0 to 0 as a busy indicator that never stops; a run of
  // no block gets an empty bar instead (its position stays 0).
  ProgressBar1->setRange(0, static_cast<int>(std::max<std::uint32_t>(maximum, 1)));
  ShowProgress(QString());
}

void TFormMain::ShowProgress(const QString& figures) {
  if (figures.isEmpty()) {
    ProgressBar1->resetFormat();
  } else {
    ProgressBar1->setFormat(figures);
  }
  ProgressBar1->setValue(static_cast<int>(progress_.Position()));
  // Qt's accessible progress bar tells only the number; the text shown goes
  // to screen readers as the description.
  ProgressBar1->setAccessibleDescription(ProgressBar1->text());
}

void TFormMain::RunStarts(std::uint32_t cycles, RunUnit unit) { progress_.CountCycles(cycles, unit); }

void TFormMain::BlockDone() {
  QApplication::processEvents();
  // The position steps after every block, but the bar shows it, with the
  // run's speed and time left, only when the meter says so: a progress bar
  // repaints itself synchronously whenever its value changes.
  if (!progress_.BlockDone()) return;
  const std::int64_t drawing = progress_.FrameStarts();
  ShowProgress(QString::fromStdString(progress_.Text(decimalSeparator_)));
  QApplication::processEvents();
  // The bar paints in the pump above: a frame costs that too, and the meter
  // keeps the frames' share of the run small by what they cost.
  progress_.FrameDrawn(drawing);
}

bool TFormMain::StopRequested() { return stopRequested_; }

}  // namespace selvarex
