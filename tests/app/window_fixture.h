// Test support: the real main window against a simulated library, with every
// box and dialog scripted.
#pragma once

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <functional>
#include <memory>

#include "app/form_main.h"
#include "support/scripted_prompts.h"
#include "support/sim_harness.h"
#include "support/window_controls.h"
#include "transfer/operation_log.h"

namespace selvarex::test {

// A run clock that reads its time from a function.
struct FunctionClock : RunClock {
  explicit FunctionClock(std::function<std::int64_t()> now) : now_(std::move(now)) {}
  std::int64_t NowNs() const override { return now_(); }
  std::function<std::int64_t()> now_;
};

class WindowTest : public ::testing::Test {
 protected:
  explicit WindowTest(const std::string& variant = "default") : dir_(variant) {}

  void SetUp() override {
    window = std::make_unique<TFormMain>(prompts);
    LogSettings log;
    log.path = (dir_.path() / "DravolinLog.txt").string();
    window->SetLogSettings(log);
    // The progress bar keeps the simulated programmer's time, not the
    // machine's: a run shows the same positions however busy the machine is.
    window->SetRunClock(deviceTime_);
    window->show();
    QApplication::processEvents();
    window->RunIdlePass();
  }

  void TearDown() override {
    if (window->IsDLLOpen()) {
      prompts.errors.clear();
      window->close();
    }
    sim.reset();
    window.reset();
  }

  // Clicks a command as the operator would; it must be enabled.
  void Click(ActionId id) {
    ASSERT_TRUE(window->ActionOf(id)->isEnabled()) << InfoOf(id).name << " is disabled";
    window->ActionOf(id)->trigger();
    window->RunIdlePass();
  }
  bool Enabled(ActionId id) const { return window->ActionOf(id)->isEnabled(); }

  // The control interface of the library in the working directory.
  SimControl& Sim() {
    if (!sim) sim = std::make_unique<SimControl>();
    return *sim;
  }

  void LoadAndConnect() {
    Click(ActionId::actDLLLoad);
    Sim().SimCtl_Reset();
    Click(ActionId::actDravolinConnect);
  }
  // Answers the next parameter dialog (read, write or erase).
  void AnswerParameters(const QString& first, const QString& second, const QString& file = {}) {
    prompts.AnswerParameters(first, second, file);
  }
  void PickFlash(int index) {
    FlashItem(*window, index)->click();
    window->RunIdlePass();
  }

  SimWorkDir dir_;
  FunctionClock deviceTime_{[this] { return static_cast<std::int64_t>(Sim().SimCtl_SimulatedTimeNs()); }};
  ScriptedPrompts prompts;
  std::unique_ptr<TFormMain> window;
  std::unique_ptr<SimControl> sim;
};

}  // namespace selvarex::test
