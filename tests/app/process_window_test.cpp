// The block-wise processes as the operator runs them from the main window:
// dialogs, closing messages, the progress bar, and what the window allows
// while a process holds the device.
#include <QAbstractItemView>
#include <QAccessible>
#include <QAction>
#include <QCompleter>
#include <QFileDialog>
#include <QLineEdit>
#include <QPointer>
#include <QProgressBar>
#include <QTest>
#include <QTimer>
#include <fstream>
#include <map>

#include "app/dialogs/flash_read_dialog.h"
#include "device/nand_geometry.h"
#include "window_fixture.h"

namespace selvarex {
namespace {

using A = ActionId;
using drav::Entry;
using test::Control;
using test::FlashItem;
using test::FlashSelector;
using test::ProgressBar;
using test::ScriptedPrompts;
using test::VerifyBox;

class ProcessWindowTest : public test::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    LoadAndConnect();
    PickFlash(0);
    // A small chip keeps the runs short: 40 blocks with bad block 37.
    Sim().SimCtl_SetBlockCount(0, 40);
    Sim().SimCtl_SetMarker(0, 37, 0x00);
  }

  QString Path(const char* name) const { return QString::fromStdString((dir_.path() / name).string()); }
  std::string Log() const {
    std::ifstream in(dir_.path() / "DravolinLog.txt", std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
};

TEST_F(ProcessWindowTest, ReadShowsItsMessageThenResetsTheProgressBar) {
  int progressWhenShown = -1;
  prompts.onBox = [&] { progressWhenShown = ProgressBar(*window)->value(); };
  AnswerParameters("0", QString::number(40 * nand::kBlockSize), Path("dump.bin"));
  Click(A::actFlashRead);
  ASSERT_TRUE(prompts.errors.empty()) << prompts.errors[0];
  EXPECT_EQ(prompts.messages,
            std::vector<std::string>{"NAND Dump has been created!\n\n1 bad block/s has been found.\n\n"
                                     "Check the log for the details."});
  EXPECT_EQ(progressWhenShown, 40) << "the bar stands at the end while the message shows";
  EXPECT_EQ(ProgressBar(*window)->value(), 0);
  EXPECT_EQ(ProgressBar(*window)->maximum(), 40);
  EXPECT_EQ(std::filesystem::file_size(dir_.path() / "dump.bin"), 40u * nand::kBlockSize);
  EXPECT_NE(Log().find("> Flash0 NAND dump saved on file: " + Path("dump.bin").toStdString()), std::string::npos);
  EXPECT_TRUE(Enabled(A::actFlashRead)) << "the window is usable after the run";
}

// A block read takes 4.26 ms of the programmer's time (31.7 MB/s), so the
// bar shows every tenth position or so with the speed and the time left,
// never only the end; the closing message sees the plain percentage, and
// then the bar goes back to 0. An erase counts blocks a second.
TEST_F(ProcessWindowTest, TheBarShowsThePositionSpeedAndTimeLeftEvery40MsOfTheRun) {
  std::vector<std::string> shown;
  std::string readerHeard;
  QObject::connect(ProgressBar(*window), &QProgressBar::valueChanged, [&](int value) {
    shown.push_back(std::to_string(value) + ": " + ProgressBar(*window)->text().toStdString());
    // Until the next frame a screen reader hears the figures the last one showed.
    if (value == 30)
      readerHeard =
          QAccessible::queryAccessibleInterface(ProgressBar(*window))->text(QAccessible::Description).toStdString();
  });
  std::string whenMessage;
  prompts.onBox = [&] { whenMessage = ProgressBar(*window)->text().toStdString(); };
  AnswerParameters("0", QString::number(40 * nand::kBlockSize), Path("dump.bin"));
  Click(A::actFlashRead);
  ASSERT_TRUE(prompts.errors.empty()) << prompts.errors[0];
  EXPECT_EQ(shown, (std::vector<std::string>{"10: 25 % - 31.7 MB/s - 0:00 left", "20: 50 % - 31.7 MB/s - 0:00 left",
                                             "30: 75 % - 31.7 MB/s - 0:00 left", "40: 100 % - 31.7 MB/s - 0:00 left",
                                             "0: 0%"}));
  EXPECT_EQ(whenMessage, "100%");

  shown.clear();
  AnswerParameters("0", "40");
  Click(A::actFlashEraseSector);
  ASSERT_FALSE(shown.empty());
  EXPECT_EQ(shown.front(), "18: 1 % - 439.6 blocks/s - 0:00 left");
  EXPECT_EQ(shown.back(), "0: 0%");
  // Screen readers read the same figures.
  EXPECT_EQ(readerHeard, "50 % - 31.7 MB/s - 0:00 left");
  EXPECT_EQ(QAccessible::queryAccessibleInterface(ProgressBar(*window))->text(QAccessible::Description).toStdString(),
            "0%");
}

// A range of 0 to 0 is Qt's busy indicator, which animates on and on.
TEST_F(ProcessWindowTest, ARunOfNoBlockKeepsTheBarDeterminateAndEmpty) {
  std::ofstream(Path("image.bin").toStdString(), std::ios::binary) << std::string(nand::kBlockSize, '\xFF');
  for (const A command : {A::actFlashRead, A::actFlashProgram}) {
    int rangeWhenShown = -1;
    prompts.onBox = [&] { rangeWhenShown = ProgressBar(*window)->maximum() - ProgressBar(*window)->minimum(); };
    AnswerParameters("0", "135167", Path("image.bin"));
    Click(command);
    EXPECT_EQ(prompts.errors, std::vector<std::string>{});
    EXPECT_GT(rangeWhenShown, 0) << InfoOf(command).name;
    EXPECT_GT(ProgressBar(*window)->maximum(), ProgressBar(*window)->minimum()) << InfoOf(command).name;
    EXPECT_EQ(ProgressBar(*window)->value(), 0);
  }
  EXPECT_EQ(prompts.messages.size(), 2u);
}

// The operator types the image's name into the file dialog, its name
// completion pops up, Return accepts. A file dialog kept hidden for the next
// command kept that popup on the screen; each file dialog now goes, with
// everything it owns, when its command ends.
TEST_F(ProcessWindowTest, TheFileDialogsCompletionPopupClosesWithIt) {
  std::ofstream(Path("image.bin").toStdString(), std::ios::binary) << std::string(2 * nand::kBlockSize, '\xFF');
  QPointer<QFileDialog> files;
  QPointer<QWidget> popup;
  prompts.Answer([&](QDialog& parameters) {
    parameters.findChild<QLineEdit*>("edtAddress")->setText("0");
    parameters.findChild<QLineEdit*>("edtSize")->setText(QString::number(2 * nand::kBlockSize));
    prompts.answers.push_front([&](QDialog& dialog) {
      files = qobject_cast<QFileDialog*>(&dialog);
      dialog.show();
      files->setDirectory(QString::fromStdString(dir_.path().string()));
      auto* name = dialog.findChild<QLineEdit*>("fileNameEdit");
      QTest::keyClicks(name, "image.bin");
      popup = name->completer()->popup();
      popup->show();
      dialog.accept();  // what Return does through the dialog's default button
      return dialog.result();
    });
    parameters.findChild<QAction*>("actReadFromFile")->trigger();
    return static_cast<int>(QDialog::Accepted);
  });
  Click(A::actFlashProgram);
  ASSERT_EQ(prompts.errors, std::vector<std::string>{});
  ASSERT_EQ(prompts.messages.size(), 1u);
  ASSERT_FALSE(popup.isNull() && files.isNull() && prompts.unexpectedDialogs > 0) << "the file dialog never ran";
  QApplication::processEvents();
  EXPECT_TRUE(files.isNull());
  EXPECT_TRUE(popup.isNull() || !popup->isVisible());
}

TEST_F(ProcessWindowTest, WriteUsesTheVerifyCheckBox) {
  // An image of the chip's own blocks 0..3, written back over erased blocks.
  AnswerParameters("0", QString::number(4 * nand::kBlockSize), Path("image.bin"));
  Click(A::actFlashRead);
  VerifyBox(*window)->click();
  ASSERT_FALSE(VerifyBox(*window)->isChecked());
  AnswerParameters("0", QString::number(4 * nand::kBlockSize), Path("image.bin"));
  Click(A::actFlashProgram);
  EXPECT_EQ(Sim().LastArgs(Entry::DravFlashSetWVerify),
            (std::vector<std::uint32_t>{window->Connection().FlashHandle(), 0}));
  ASSERT_EQ(prompts.messages.size(), 2u);
  EXPECT_EQ(prompts.messages[1].rfind("NAND Dump has been restored!\n\n0 NAND bad block/s", 0), 0u);
}

TEST_F(ProcessWindowTest, EraseSetsTheProgressRangeBeforeItsDialog) {
  prompts.Answer([](QDialog&) { return static_cast<int>(QDialog::Rejected); });
  Click(A::actFlashEraseSector);
  EXPECT_EQ(ProgressBar(*window)->maximum(), 1024);
  EXPECT_EQ(ProgressBar(*window)->value(), 0);
  EXPECT_FALSE(std::filesystem::exists(dir_.path() / "DravolinLog.txt")) << "a cancelled dialog logs nothing";
  EXPECT_EQ(Sim().Calls(Entry::DravFlashEraseSector), 0u);

  AnswerParameters("0", "3");
  Click(A::actFlashEraseSector);
  EXPECT_EQ(prompts.messages,
            std::vector<std::string>{"3 Sector/s Erased.\n\n0 bad block/s has been skipped.\n"
                                     "0 NAND Erase Error/s has occured.\n\nCheck the log for the details."});
  EXPECT_EQ(Sim().Calls(Entry::DravFlashEraseSector), 3u);
}

TEST_F(ProcessWindowTest, AnEraseOfMoreSectorsThanTheRangeEndsWithTheBarFull) {
  Sim().SimCtl_SetBlockCount(0, 1100);
  int progressWhenShown = -1;
  prompts.onBox = [&] { progressWhenShown = ProgressBar(*window)->value(); };
  AnswerParameters("0", "1029");
  Click(A::actFlashEraseSector);
  ASSERT_TRUE(prompts.errors.empty()) << prompts.errors[0];
  ASSERT_GT(Sim().Calls(Entry::DravFlashEraseSector), 1024u) << "more sectors than the bar's range";
  EXPECT_EQ(progressWhenShown, 1024);
}

TEST_F(ProcessWindowTest, AFailedReadIsShownInTheErrorBoxAndKeepsTheProgress) {
  Sim().Fail(Entry::DravFlashRead, 3, 1, "Read timeout on the USB bus");
  AnswerParameters("0", QString::number(10 * nand::kBlockSize), Path("dump.bin"));
  Click(A::actFlashRead);
  EXPECT_EQ(prompts.errors, std::vector<std::string>{"Read timeout on the USB bus."});
  EXPECT_TRUE(prompts.messages.empty());
  EXPECT_EQ(ProgressBar(*window)->value(), 2) << "after an abort the bar keeps its position";
  EXPECT_EQ(std::filesystem::file_size(dir_.path() / "dump.bin"), 2u * nand::kBlockSize);
  EXPECT_TRUE(Enabled(A::actFlashRead));
}

// While a process runs, the message pumping after each block must not let
// the operator pull the library or the device away under it. The running
// command's button reads "Stop": it, or Esc, stops the run after the current
// block, and the closing message says so.
TEST_F(ProcessWindowTest, EveryOtherCommandIsHeldOffAndTheRunsOwnButtonStopsIt) {
  struct Case {
    A command;
    const char* button;
    bool byEsc;
    const char* log;
    const char* message;
  };
  const Case cases[] = {
      {A::actFlashRead, "Button14", false, "Read cycle #1/40, Process stopped by the operator.",
       "NAND Dump reading has been stopped!\n\n1 of 40 block/s done.\n\nCheck the log for the details."},
      {A::actFlashProgram, "Button13", true, "Write cycle #1/40, Process stopped by the operator.",
       "NAND Dump writing has been stopped!\n\n1 of 40 block/s done.\n\nCheck the log for the details."},
      {A::actFlashEraseSector, "Button22", false, "Erase cycle #1/40, Process stopped by the operator.",
       "Sector erase has been stopped!\n\n1 of 40 sector/s done.\n\nCheck the log for the details."},
  };
  std::map<QPushButton*, QString> captions;
  for (QPushButton* button : window->findChildren<QPushButton*>()) captions[button] = button->text();
  std::ofstream(Path("image.bin").toStdString(), std::ios::binary) << std::string(40 * nand::kBlockSize, '\xFF');

  for (const Case& c : cases) {
    SCOPED_TRACE(InfoOf(c.command).name);
    prompts.messages.clear();
    bool sawRunning = false;
    QTimer::singleShot(0, window.get(), [&] {
      sawRunning = true;
      QPushButton* own = Control<QPushButton>(*window, c.button);
      for (const ActionInfo& info : ActionTable()) EXPECT_EQ(Enabled(info.id), info.id == c.command) << info.name;
      for (const auto& [button, caption] : captions)
        EXPECT_EQ(button->text(), button == own ? "Stop" : caption) << caption.toStdString();
      EXPECT_TRUE(own->isEnabled());
      EXPECT_FALSE(FlashSelector(*window)->isEnabled());
      EXPECT_FALSE(VerifyBox(*window)->isEnabled());
      window->ExecuteAction(A::actDLLUnload);
      window->ExecuteAction(A::actDravolinDisconnect);
      window->ExecuteAction(A::actCounter);
      FlashItem(*window, 1)->click();
      if (c.byEsc) {
        // Keys reach the button the operator clicked to start the run first.
        QTest::keyClick(own, Qt::Key_Escape);
      } else {
        QTest::mouseClick(own, Qt::LeftButton);
      }
    });
    if (c.command == A::actFlashEraseSector) {
      AnswerParameters("0", "40");
    } else {
      AnswerParameters("0", QString::number(40 * nand::kBlockSize), Path("image.bin"));
    }
    Click(c.command);
    EXPECT_TRUE(sawRunning);
    EXPECT_TRUE(window->IsDLLOpen());
    EXPECT_TRUE(window->IsConnected());
    EXPECT_EQ(prompts.messages, std::vector<std::string>{c.message});
    EXPECT_NE(Log().find(std::string("\r\n> ") + c.log + "\r\n\r\n" + std::string(72, '-')), std::string::npos);
    // Nothing else changed: every button has its caption and its rule again.
    for (const auto& [button, caption] : captions) EXPECT_EQ(button->text(), caption);
    EXPECT_TRUE(FlashSelector(*window)->isEnabled()) << "the selector is back after the run";
    EXPECT_EQ(window->SelectedFlashIndex(), 0);
    EXPECT_TRUE(Enabled(A::actDLLUnload));
    EXPECT_TRUE(Enabled(c.command));
  }
  EXPECT_EQ(prompts.unexpectedDialogs, 0) << "no command may have opened its dialog during a run";
  EXPECT_TRUE(prompts.errors.empty());
}

TEST_F(ProcessWindowTest, ClosingTheWindowStopsTheRunAfterTheCurrentBlockThenCloses) {
  QTimer::singleShot(0, window.get(), [&] { EXPECT_FALSE(window->close()); });
  AnswerParameters("0", QString::number(40 * nand::kBlockSize), Path("dump.bin"));
  Click(A::actFlashRead);
  EXPECT_TRUE(prompts.messages.empty()) << "a stopped run shows no closing message";
  const auto written = std::filesystem::file_size(dir_.path() / "dump.bin");
  EXPECT_GT(written, 0u);
  EXPECT_LT(written, 40u * nand::kBlockSize);
  EXPECT_EQ(written % nand::kBlockSize, 0u);
  const std::string log = Log();
  EXPECT_NE(log.find(", Process stopped by the operator.\r\n"), std::string::npos) << log;
  EXPECT_NE(log.find("END DUMP READING PROCESS: "), std::string::npos);
  EXPECT_EQ(log.find("NAND dump saved on file"), std::string::npos);
  // The window closes once the process has ended, unloading the library.
  QApplication::processEvents();
  EXPECT_FALSE(window->isVisible());
  EXPECT_FALSE(window->IsDLLOpen());
}

}  // namespace
}  // namespace selvarex
