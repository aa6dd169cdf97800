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
#include <QPushButton>
#include <QLabel>
#include <QProgressBar>
#include <QRadioButton>
#include <memory>

#include "app/form_main.h"
#include "support/scripted_prompts.h"
#include "support/sim_harness.h"
#include "transfer/operation_log.h"

namespace selvarex::test {

class WindowTest : public ::testing::Test {
 protected:
  explicit WindowTest(const std::string& variant = "default") : dir_(variant) {}

  void SetUp() override {
    window = std::make_unique<TFormMain>(prompts);
    LogSettings log;
    log.path = (dir_.path() / "DravolinLog.txt").string();
    window->SetLogSettings(log);
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
    window->rgrpSelFlashItems->button(index)->click();
    window->RunIdlePass();
  }

  SimWorkDir dir_;
  ScriptedPrompts prompts;
  std::unique_ptr<TFormMain> window;
  std::unique_ptr<SimControl> sim;
};

}  // namespace selvarex::test
