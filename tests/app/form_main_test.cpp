// The main window driven as an operator would, against the simulated library.
#include <QAbstractEventDispatcher>
#include <QAccessible>
#include <QEventLoop>
#include <QLineEdit>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include "app/idle_notifier.h"
#include "app/prompts.h"
#include "window_fixture.h"

namespace selvarex {
namespace {

using A = ActionId;
using drav::Entry;
using test::Control;
using test::FlashItem;
using test::FlashSelector;
using test::Label;
using test::ProgressBar;
using test::VerifyBox;
using test::WindowTest;

TEST_F(WindowTest, StartsWithOnlyLoadEnabledAndThePlaceholders) {
  for (const ActionInfo& info : ActionTable()) {
    EXPECT_EQ(Enabled(info.id), info.id == A::actDLLLoad) << info.name;
  }
  EXPECT_EQ(window->windowTitle(), "Selvarex v1.37");
  EXPECT_EQ(window->size(), QSize(793, 581));
  // The test screen is 800 x 600: the designed position 1098, 140 lies off it.
  const QRect screen = window->screen()->availableGeometry(), placed = window->geometry();
  EXPECT_TRUE(screen.contains(placed)) << "wholly on the screen: " << placed.x() << "," << placed.y() << " "
                                       << screen.width() << "x" << screen.height();
  EXPECT_EQ(Label(*window, "lblDeviceCount")->text(), "??");
  EXPECT_EQ(Label(*window, "lblDLLVersion")->text(), "??.??");
  EXPECT_EQ(Label(*window, "lblPLDStatus")->text(), "????");
  EXPECT_EQ(Label(*window, "lblFlashProductorSupported")->text(), "??");
  EXPECT_EQ(Label(*window, "lblCntStatus")->text(), "Ready");
  EXPECT_EQ(Label(*window, "lblTiming")->text(), "0");
  EXPECT_FALSE(FlashSelector(*window)->isEnabled());
  EXPECT_EQ(window->SelectedFlashIndex(), -1);
  EXPECT_FALSE(VerifyBox(*window)->isEnabled());
  EXPECT_TRUE(VerifyBox(*window)->isChecked());
  EXPECT_EQ(Control<QPushButton>(*window, "Button13")->text(), "Write");
  EXPECT_EQ(Control<QPushButton>(*window, "Button22")->text(), "Erase Sectors");
  EXPECT_EQ(Control<QPushButton>(*window, "Button1")->text(), "&Load DLL");
  EXPECT_EQ(ProgressBar(*window)->maximum(), 100);
  EXPECT_EQ(window->ActionOf(A::actFlashRead)->statusTip(), "Read");
  EXPECT_EQ(window->ActionOf(A::actDravolinSetTimeOut)->statusTip(), "Set Timeout");
  EXPECT_TRUE(window->ActionOf(A::actCounter)->statusTip().isEmpty());
}

// The information box is centred on the screen, not over its window.
TEST(Prompts, TheInformationBoxIsCentredOnTheScreen) {
  QWidget parent;
  parent.setGeometry(0, 0, 120, 90);
  parent.show();
  QPoint centre, screenCentre;
  QTimer::singleShot(0, [&] {
    QWidget* box = QApplication::activeModalWidget();
    ASSERT_NE(box, nullptr);
    centre = box->frameGeometry().center();
    screenCentre = box->screen()->availableGeometry().center();
    box->close();
  });
  DefaultPrompts().ShowMessage(&parent, "Device Erased!");
  EXPECT_LE((centre - screenCentre).manhattanLength(), 2) << centre.x() << "," << centre.y();
}

// A screen reader reads each value as shown, tied to its caption: the value
// is the label's accessible name, its caption labels it and describes it.
TEST_F(WindowTest, ScreenReadersReadEveryValueWithItsCaption) {
  Click(A::actDLLLoad);
  const std::pair<const char*, QString> values[] = {{"lblDeviceCount", "Device Count"},
                                                    {"lblDLLVersion", "DLL Version"},
                                                    {"lblDriverVersion", "Driver Version"},
                                                    {"lblPLDStatus", "PLD status"},
                                                    {"lblLoaderVersion", "Loader Version"},
                                                    {"lblPldId", "PLD ID"},
                                                    {"lblFlashID", "Flash ID"},
                                                    {"lblFlashFullName", "Flash full name"},
                                                    {"lblFlashProdName", "Flash product name"},
                                                    {"lblFlashSupported", "Flash supported"},
                                                    {"lblFlashProductorSupported", "Productor supported"},
                                                    {"lblCntStatus", "Status"},
                                                    {"lblCnt", "Times"},
                                                    {"lblTiming", "Time"},
                                                    {"lblValue", "Value"}};
  for (const auto& [name, caption] : values) {
    SCOPED_TRACE(name);
    QLabel* label = Label(*window, name);
    QAccessibleInterface* value = QAccessible::queryAccessibleInterface(label);
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(value->text(QAccessible::Name).toStdString(), label->text().toStdString());
    EXPECT_EQ(value->text(QAccessible::Description).toStdString(), caption.toStdString());
    QStringList labelledBy;
    for (const auto& relation : value->relations(QAccessible::Label))
      labelledBy << relation.first->text(QAccessible::Name);
    EXPECT_TRUE(labelledBy.contains(caption + ":")) << labelledBy.join("|").toStdString();
  }
  QAccessibleInterface* deviceCount = QAccessible::queryAccessibleInterface(Label(*window, "lblDeviceCount"));
  EXPECT_EQ(deviceCount->text(QAccessible::Name).toStdString(), "1");
}

TEST_F(WindowTest, LoadUnloadLoadRefreshesThePanel) {
  Click(A::actDLLLoad);
  EXPECT_EQ(Label(*window, "lblDeviceCount")->text(), "1");
  EXPECT_EQ(Label(*window, "lblDLLVersion")->text(), "1.2.3.4");
  EXPECT_EQ(Label(*window, "lblPldId")->text(), "????");
  EXPECT_FALSE(Enabled(A::actDLLLoad));
  EXPECT_TRUE(Enabled(A::actDravolinConnect));
  Click(A::actDLLUnload);
  EXPECT_EQ(Label(*window, "lblDeviceCount")->text(), "??");
  EXPECT_EQ(Label(*window, "lblDriverVersion")->text(), "??.??");
  EXPECT_FALSE(window->Library().Has(Entry::DravUsbOpen));
  Click(A::actDLLLoad);
  EXPECT_TRUE(window->Library().Has(Entry::DravFlashRead));
  EXPECT_TRUE(prompts.errors.empty());
}

TEST_F(WindowTest, ConnectSelectAndTheFlashCommandsBecomeAvailable) {
  LoadAndConnect();
  EXPECT_EQ(Label(*window, "lblPLDStatus")->text(), "Programmed");
  EXPECT_TRUE(FlashSelector(*window)->isEnabled());
  EXPECT_FALSE(VerifyBox(*window)->isEnabled()) << "no flash item selected yet";
  EXPECT_FALSE(Enabled(A::actFlashRead));
  PickFlash(1);  // unsupported chip
  EXPECT_EQ(Label(*window, "lblFlashSupported")->text(), "No");
  EXPECT_TRUE(VerifyBox(*window)->isEnabled()) << "a selected item enables it, supported or not";
  EXPECT_FALSE(Enabled(A::actFlashRead));
  PickFlash(0);
  EXPECT_EQ(Label(*window, "lblFlashID")->text(), "0xC3A1");
  for (A a : {A::actFlashBlank, A::actFlashEraseAll, A::actFlashEraseSector, A::actFlashRead, A::actFlashProgram,
              A::actFlashFlashReset, A::actFlashGetDeviceSize, A::actCounter}) {
    EXPECT_TRUE(Enabled(a)) << InfoOf(a).name;
  }
  // Picking the item already selected does nothing.
  Sim().SimCtl_ResetCounts();
  FlashItem(*window, 0)->click();
  EXPECT_EQ(Sim().Calls(Entry::DravUsbSelectFlash), 0u);
}

TEST_F(WindowTest, DisconnectDisablesTheSelectorAndTheFlashCommands) {
  LoadAndConnect();
  PickFlash(0);
  Click(A::actDravolinDisconnect);
  EXPECT_FALSE(FlashSelector(*window)->isEnabled());
  EXPECT_EQ(window->SelectedFlashIndex(), -1);
  EXPECT_EQ(Label(*window, "lblLoaderVersion")->text(), "????");
  EXPECT_EQ(Label(*window, "lblFlashID")->text(), "0xC3A1");
  EXPECT_FALSE(Enabled(A::actFlashRead));
  EXPECT_TRUE(Enabled(A::actDravolinConnect));
  // A new connection starts with no flash object: nothing usable until a pick.
  Click(A::actDravolinConnect);
  EXPECT_FALSE(Enabled(A::actFlashRead));
  EXPECT_FALSE(Enabled(A::actCounter));
}

// No file of that name, or only a folder of that name: the same message.
TEST_F(WindowTest, MissingLibraryFileIsShownUnchanged) {
  std::filesystem::remove("Dravolin.dll");
  for (const bool folder : {false, true}) {
    if (folder) std::filesystem::create_directory("Dravolin.dll");
    prompts.errors.clear();
    Click(A::actDLLLoad);
    EXPECT_EQ(prompts.errors, std::vector<std::string>{"File " + DravolinLibrary::LibraryPath() + " doesn't exists!"})
        << (folder ? "folder" : "no file");
    EXPECT_FALSE(window->IsDLLOpen());
    EXPECT_TRUE(Enabled(A::actDLLLoad));
  }
}

TEST_F(WindowTest, ALibraryErrorWithoutTextIsShownWithAFullStop) {
  LoadAndConnect();
  Sim().Fail(Entry::DravUsbReset);
  Sim().Fail(Entry::DravGetLastError);
  Click(A::actDravolinReset);
  EXPECT_EQ(prompts.errors, std::vector<std::string>{"TFormMain::RaiseLastDravolinError."});
}

TEST_F(WindowTest, ClosingUnloadsAndAFailedCloseKeepsTheWindowOpenOnce) {
  LoadAndConnect();
  Sim().Fail(Entry::DravUsbClose, 1, 1, "Programmer does not answer");
  EXPECT_FALSE(window->close());
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(prompts.errors, std::vector<std::string>{"Programmer does not answer."});
  EXPECT_TRUE(window->IsDLLOpen());
  EXPECT_FALSE(window->IsConnected());
  // The failed close already counts as disconnected: this time it closes.
  EXPECT_TRUE(window->close());
  EXPECT_FALSE(window->IsDLLOpen());
  EXPECT_EQ(Sim().Calls(Entry::DravUsbClose), 1u);
}

TEST_F(WindowTest, ClosingWhileConnectedClosesTheProgrammerThenFreesTheLibrary) {
  LoadAndConnect();
  Sim().SimCtl_ResetCounts();
  EXPECT_TRUE(window->close());
  EXPECT_FALSE(window->IsDLLOpen());
  EXPECT_EQ(Sim().Calls(Entry::DravUsbClose), 1u);
  EXPECT_EQ(Sim().Calls(Entry::DravDevDestroy), 0u) << "unloading does not destroy the device";
}

TEST_F(WindowTest, FailingSupportQueryIsShownOnceAndOtherCommandsStayReachable) {
  LoadAndConnect();
  PickFlash(0);
  Sim().Fail(Entry::DravDevIsProdSupported, 1, 0, "query failed");
  for (int pass = 0; pass < 5; ++pass) window->RunIdlePass();
  EXPECT_EQ(prompts.errors, std::vector<std::string>{"query failed."});
  EXPECT_FALSE(Enabled(A::actFlashRead));
  EXPECT_TRUE(Enabled(A::actDravolinDisconnect));
  EXPECT_TRUE(Enabled(A::actDLLUnload));
  Click(A::actDravolinDisconnect);
  EXPECT_FALSE(window->IsConnected());
}

TEST_F(WindowTest, TimeoutDialogSendsRxAndTxOrNothingOnCancel) {
  LoadAndConnect();
  QString initialRx, initialTx;
  prompts.Answer([&](QDialog& dialog) {
    initialRx = dialog.findChild<QLineEdit*>("edtRx")->text();
    initialTx = dialog.findChild<QLineEdit*>("edtTx")->text();
    dialog.findChild<QLineEdit*>("edtRx")->setText("100");
    dialog.findChild<QLineEdit*>("edtTx")->setText("200");
    return static_cast<int>(QDialog::Accepted);
  });
  Click(A::actDravolinSetTimeOut);
  EXPECT_EQ(initialRx, "5000");
  EXPECT_EQ(initialTx, "5000");
  EXPECT_EQ(Sim().LastArgs(Entry::DravUsbSetTimeOut),
            (std::vector<std::uint32_t>{window->Connection().UsbHandle(), 100, 200}));
  EXPECT_TRUE(prompts.messages.empty()) << "a successful Set Timeout shows nothing";

  Sim().SimCtl_ResetCounts();
  prompts.Answer([](QDialog&) { return static_cast<int>(QDialog::Rejected); });
  Click(A::actDravolinSetTimeOut);
  EXPECT_EQ(Sim().Calls(Entry::DravUsbSetTimeOut), 0u);
  EXPECT_EQ(prompts.unexpectedDialogs, 0);
}

TEST_F(WindowTest, CommandsShowTheirResultsInTheInformationBox) {
  LoadAndConnect();
  PickFlash(0);
  Click(A::actFlashGetDeviceSize);
  Click(A::actFlashFlashReset);
  Click(A::actPLDDevEnter);
  const std::vector<std::uint8_t> misses(50, 0);
  Sim().SimCtl_ScriptDevStatus(1, misses.data(), 50);
  Click(A::actPLDDevExit);
  EXPECT_EQ(prompts.messages,
            (std::vector<std::string>{"Device Size is 138412032", "Reset OK!", "DevEnter done!", "DevExit failed!"}));
  EXPECT_EQ(prompts.beeps, 1);
}

TEST_F(WindowTest, CounterShowsItsMeasurement) {
  LoadAndConnect();
  PickFlash(0);
  Click(A::actCounter);
  EXPECT_EQ(Label(*window, "lblCntStatus")->text(), "Ready");
  EXPECT_EQ(Label(*window, "lblCnt")->text(), "24038");
  EXPECT_EQ(Label(*window, "lblValue")->text(), "5A");
  EXPECT_TRUE(Label(*window, "lblTiming")->text().endsWith("uS"));
}

// The counter lets the window draw "BUSY" once before it polls. Clicks the
// operator queued before the measurement run then: they must find every
// command held off, and a close must wait for the measurement.
TEST_F(WindowTest, CounterHoldsOffQueuedCommandsAndClosingWaitsForIt) {
  LoadAndConnect();
  PickFlash(0);
  bool heldOff = false;
  QTimer::singleShot(0, window.get(), [&] {
    heldOff = true;
    for (const ActionInfo& info : ActionTable()) EXPECT_FALSE(Enabled(info.id)) << info.name;
    EXPECT_FALSE(FlashSelector(*window)->isEnabled());
    window->ExecuteAction(A::actDLLUnload);
    window->ExecuteAction(A::actDravolinDisconnect);
    FlashItem(*window, 1)->click();
  });
  Click(A::actCounter);
  EXPECT_TRUE(heldOff);
  EXPECT_TRUE(window->IsConnected());
  EXPECT_EQ(Label(*window, "lblCntStatus")->text(), "Ready");
  EXPECT_EQ(Label(*window, "lblCnt")->text(), "24038");
  EXPECT_TRUE(FlashSelector(*window)->isEnabled()) << "the selector is back after the measurement";
  EXPECT_TRUE(Enabled(A::actCounter));

  Label(*window, "lblCnt")->setText("0");
  QTimer::singleShot(0, window.get(), [&] { EXPECT_FALSE(window->close()); });
  Click(A::actCounter);
  EXPECT_EQ(Label(*window, "lblCnt")->text(), "24038") << "the measurement ran to its end";
  QApplication::processEvents();
  EXPECT_FALSE(window->isVisible());
  EXPECT_FALSE(window->IsDLLOpen());
  EXPECT_TRUE(prompts.errors.empty());
}

class WindowWithoutCreate : public WindowTest {
 protected:
  WindowWithoutCreate() : WindowTest("without_DravDevCreate") {}
};

TEST_F(WindowWithoutCreate, ConnectStaysDisabled) {
  Click(A::actDLLLoad);
  EXPECT_FALSE(Enabled(A::actDravolinConnect));
  EXPECT_TRUE(Enabled(A::actDLLUnload));
}

class WindowWithoutRead : public WindowTest {
 protected:
  WindowWithoutRead() : WindowTest("without_DravFlashRead") {}
};

TEST_F(WindowWithoutRead, ReadStaysDisabledAndWriteRefusesBeforeTouchingAnything) {
  LoadAndConnect();
  PickFlash(0);
  EXPECT_FALSE(Enabled(A::actFlashRead));
  EXPECT_TRUE(Enabled(A::actFlashProgram));
  Sim().SimCtl_ResetCounts();
  Click(A::actFlashProgram);
  ASSERT_EQ(prompts.errors.size(), 1u);
  EXPECT_NE(prompts.errors[0].find("DravFlashRead"), std::string::npos) << prompts.errors[0];
  EXPECT_EQ(prompts.unexpectedDialogs, 0) << "the dialog must not open";
  // Only the enable rules asked the library anything.
  EXPECT_EQ(Sim().SimCtl_TotalCalls(), Sim().Calls(Entry::DravDevIsProdSupported));
  EXPECT_FALSE(std::filesystem::exists(dir_.path() / "DravolinLog.txt"));
}

class WindowWithoutCounter : public WindowTest {
 protected:
  WindowWithoutCounter() : WindowTest("without_counter") {}
};

TEST_F(WindowWithoutCounter, StartCounterIsEnabledButDoesNothing) {
  LoadAndConnect();
  PickFlash(0);
  ASSERT_TRUE(Enabled(A::actCounter));
  Label(*window, "lblCntStatus")->setText("Ready");
  Click(A::actCounter);
  EXPECT_EQ(Label(*window, "lblCntStatus")->text(), "Ready");
  EXPECT_TRUE(prompts.errors.empty());
  EXPECT_TRUE(prompts.messages.empty());
}

// Runs a real event loop (QTest::qWait never blocks) until the application
// has nothing left to do: the loop is about to wait, and the idle pass that
// the previous wait brought has run. Returns the passes it saw.
int RunUntilIdle(IdleNotifier& notifier, TFormMain& window) {
  int passes = 0;
  const auto pass = QObject::connect(&notifier, &IdleNotifier::idle, &window, [&] {
    if (window.RunIdlePass()) ++passes;
  });
  for (int seenBefore = -1; seenBefore != passes;) {
    seenBefore = passes;
    QEventLoop loop;
    const auto waits = QObject::connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock,
                                        &loop, &QEventLoop::quit);
    loop.exec();
    QObject::disconnect(waits);
  }
  QObject::disconnect(pass);
  return passes;
}

// Lets the event loop wait for a timer, and wake, the given number of times.
void WaitForTimerTicks(int ticks) {
  QEventLoop loop;
  QTimer timer;
  int left = ticks;
  QObject::connect(&timer, &QTimer::timeout, &loop, [&] {
    if (--left == 0) loop.quit();
  });
  timer.start(1);
  loop.exec();
}

// The rules run when the event loop becomes idle, not on a timer: a window
// that nobody touches costs no library calls however often the loop wakes.
TEST_F(WindowTest, IdleWindowMakesNoLibraryCalls) {
  LoadAndConnect();
  PickFlash(0);
  IdleNotifier notifier;
  ASSERT_GE(RunUntilIdle(notifier, *window), 1) << "the clicks leave the application with a pass to make";
  const std::uint32_t calls = Sim().SimCtl_TotalCalls();
  int passes = 0;
  QObject::connect(&notifier, &IdleNotifier::idle, window.get(), [&] { ++passes; });
  WaitForTimerTicks(20);
  EXPECT_EQ(passes, 0);
  EXPECT_EQ(Sim().SimCtl_TotalCalls(), calls);

  // Operator input brings the rules back: eight support queries per pass.
  Sim().SimCtl_ResetCounts();
  QTest::mouseMove(Control<QPushButton>(*window, "Button5"));
  const int newPasses = RunUntilIdle(notifier, *window);
  EXPECT_GE(newPasses, 1);
  EXPECT_EQ(Sim().Calls(Entry::DravDevIsProdSupported), 8u * static_cast<std::uint32_t>(newPasses));
}

}  // namespace
}  // namespace selvarex
