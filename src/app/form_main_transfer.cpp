// The three block-wise processes as the main window runs them.
#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QProgressBar>

#include "app/form_main.h"
#include "app/prompts.h"
#include "transfer/block_geometry.h"
#include "transfer/dump_reading.h"
#include "transfer/dump_writing.h"
#include "transfer/erase_sector_dialog.h"
#include "transfer/flash_read_dialog.h"
#include "transfer/flash_write_dialog.h"
#include "transfer/required_entries.h"
#include "transfer/sector_erase.h"

namespace selvarex {

namespace {

std::string FileNameOf(const QString& name) { return name.toLocal8Bit().toStdString(); }

}  // namespace

TransferTarget TFormMain::Target() const {
  return TransferTarget{FLibrary, FProgrammer.FFlash, SelectedFlashIndex()};
}

void TFormMain::RunProcess(const std::function<ProcessResult()>& process) {
  // While a process holds the device every other command is unavailable: the
  // message pumping after each block would otherwise let the operator unload
  // the library or start a second run underneath it.
  processRunning_ = true;
  stopRequested_ = false;
  const bool selectorWasEnabled = rgrpSelFlash->isEnabled();
  for (QAction* action : Action) action->setEnabled(false);
  cbxFlashVerifyWrite->setEnabled(false);
  rgrpSelFlash->setEnabled(false);
  progress_.StartRun();

  struct Restore {
    TFormMain& window;
    bool selectorEnabled;
    ~Restore() {
      window.processRunning_ = false;
      window.ProgressBar1->setValue(static_cast<int>(window.progress_.Position()));  // where the run stopped
      window.rgrpSelFlash->setEnabled(selectorEnabled);
      if (window.closeAfterProcess_) {
        window.closeAfterProcess_ = false;
        QMetaObject::invokeMethod(&window, &QWidget::close, Qt::QueuedConnection);
      }
    }
  } restore{*this, selectorWasEnabled};

  const ProcessResult result = process();
  ProgressBar1->setValue(static_cast<int>(progress_.Position()));
  if (result.stopped) return;
  Show(result.message);
  progress_.Rewind();
  ProgressBar1->setValue(0);
}

void TFormMain::actFlashReadExecute() {
  RequireEntries(FLibrary, {drav::Entry::DravFlashRead});
  TfrmFlashRead dialog(prompts_, fileDialogs_.get());
  dialog.SetAddress(0);
  dialog.SetSize(static_cast<std::int32_t>(nand::kDefaultBytes));
  if (prompts_.ExecDialog(dialog) != QDialog::Accepted) return;
  const DumpReadingParams params{dialog.Address(), dialog.Size(), FileNameOf(dialog.FileName())};
  RunProcess([&] { return RunDumpReading(Target(), params, *this, *logSettings_); });
}

void TFormMain::actFlashProgramExecute() {
  RequireEntries(FLibrary, {drav::Entry::DravFlashSetWVerify, drav::Entry::DravFlashRead,
                            drav::Entry::DravFlashWrite});
  TfrmFlashWrite dialog(prompts_, fileDialogs_.get());
  dialog.SetAddress(0);
  dialog.SetSize(static_cast<std::int32_t>(nand::kDefaultBytes));
  if (prompts_.ExecDialog(dialog) != QDialog::Accepted) return;
  const DumpWritingParams params{dialog.Address(), dialog.Size(), FileNameOf(dialog.FileName()),
                                 cbxFlashVerifyWrite->isChecked()};
  RunProcess([&] { return RunDumpWriting(Target(), params, *this, *logSettings_); });
}

void TFormMain::actFlashEraseSectorExecute() {
  RequireEntries(FLibrary, {drav::Entry::DravFlashSetWVerify, drav::Entry::DravFlashRead,
                            drav::Entry::DravFlashEraseSector});
  // The range is set before the dialog and stays 0 to 1024 whatever the run.
  SetProgressRange(nand::kDefaultBlocks);
  TfrmEraseSector dialog(prompts_);
  dialog.SetAddress(0);
  dialog.SetNumber(static_cast<std::int32_t>(nand::kDefaultBlocks));
  if (prompts_.ExecDialog(dialog) != QDialog::Accepted) return;
  const SectorEraseParams params{dialog.Address(), dialog.Number(), cbxFlashVerifyWrite->isChecked()};
  RunProcess([&] { return RunSectorErase(Target(), params, *this, *logSettings_); });
}

void TFormMain::SetProgressRange(std::uint32_t maximum) {
  progress_.SetRange(maximum);
  ProgressBar1->setRange(0, static_cast<int>(maximum));
  ProgressBar1->setValue(0);
}

void TFormMain::BlockDone() {
  // The position steps after every block, but the bar shows it only when the
  // meter says so: a progress bar repaints itself synchronously whenever its
  // value changes.
  QApplication::processEvents();
  if (progress_.BlockDone()) {
    const std::int64_t drawing = progress_.FrameStarts();
    ProgressBar1->setValue(static_cast<int>(progress_.Position()));
    progress_.FrameDrawn(drawing);
  }
  QApplication::processEvents();
}

bool TFormMain::StopRequested() { return stopRequested_; }

}  // namespace selvarex
