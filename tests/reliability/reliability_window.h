// The real main window against the simulated library, with what the
// reliability tests do over and over: bring the window to a known state,
// answer the parameter dialogs, and record what a command showed and which
// library calls it made.
#pragma once

#include <QLineEdit>
#include <functional>
#include <string>
#include <vector>

#include "app/window_fixture.h"
#include "device/nand_geometry.h"
#include "support/relay_server.h"

namespace selvarex::test {

constexpr std::uint32_t kBlockBytes = nand::kBlockSize;

// What the operator saw and what the library heard while a command ran.
struct Outcome {
  std::vector<std::string> errors;
  std::vector<std::string> messages;
  std::vector<std::string> calls;
};

class ReliabilityWindow : public WindowTest {
 protected:
  explicit ReliabilityWindow(const std::string& variant = "default") : WindowTest(variant) {}

  // Runs what with the boxes and the call counts cleared.
  Outcome Record(const std::function<void()>& what) {
    prompts.errors.clear();
    prompts.messages.clear();
    Sim().SimCtl_ResetCounts();
    what();
    Outcome outcome{prompts.errors, prompts.messages, Sim().CallLog()};
    prompts.answers.clear();  // a command that stopped early leaves its answers
    return outcome;
  }
  // The command as the operator's click runs it, without the idle pass after it.
  void Execute(ActionId id) { window->ExecuteAction(id); }

  // Known states, reached the way an operator would; no fault may be pending.
  void GoLoaded() {
    if (!window->IsDLLOpen()) Execute(ActionId::actDLLLoad);
    if (window->IsConnected()) Execute(ActionId::actDravolinDisconnect);
    window->RunIdlePass();
    ASSERT_TRUE(window->IsDLLOpen() && !window->IsConnected()) << Errors();
  }
  void GoConnected() {
    GoLoaded();
    Execute(ActionId::actDravolinConnect);
    window->RunIdlePass();
    ASSERT_TRUE(window->IsConnected() && window->Connection().DeviceHandle() != 0) << Errors();
  }
  // Connected with a usable chip in the given flash.
  void GoSelected(int flash = 0) {
    GoConnected();
    PickFlash(flash);
    ASSERT_TRUE(window->Connection().HasFlash() && Enabled(ActionId::actFlashRead)) << Errors();
  }

  void AnswerTimeout(const QString& rx, const QString& tx) {
    prompts.Answer([rx, tx](QDialog& dialog) {
      dialog.findChild<QLineEdit*>("edtRx")->setText(rx);
      dialog.findChild<QLineEdit*>("edtTx")->setText(tx);
      return static_cast<int>(QDialog::Accepted);
    });
  }

  std::string FilePath(const std::string& name) const { return (dir_.path() / name).string(); }
  QString QFilePath(const std::string& name) const { return QString::fromStdString(FilePath(name)); }
  std::string LogPath() const { return FilePath("DravolinLog.txt"); }
  std::vector<std::uint8_t> ChipBlock(std::uint32_t chip, std::uint32_t block) {
    return Sim().ReadRaw(chip, block * kBlockBytes, kBlockBytes);
  }
  // The library went away with its host: the window shows the unloaded
  // state, offers only "&Load DLL", and no host process is left.
  void ExpectLibraryGone() {
    EXPECT_FALSE(window->IsDLLOpen());
    EXPECT_FALSE(window->IsConnected());
    EXPECT_EQ(Label(*window, "lblDeviceCount")->text().toStdString(), "??");
    EXPECT_EQ(Label(*window, "lblPLDStatus")->text().toStdString(), "????");
    EXPECT_FALSE(FlashSelector(*window)->isEnabled());
    EXPECT_EQ(window->Connection().FlashHandle(), 0u);
    ASSERT_TRUE(window->RunIdlePass());
    for (const ActionInfo& info : ActionTable())
      EXPECT_EQ(Enabled(info.id), info.id == ActionId::actDLLLoad) << info.name;
    for (const std::uint32_t host : dir_.Relay()->Hosts())
      EXPECT_FALSE(sim::relay::ProcessExists(host)) << "host process " << host << " is left";
  }

  std::string Errors() const {
    std::string all;
    for (const std::string& e : prompts.errors) all += "[" + e + "] ";
    return all;
  }
};

}  // namespace selvarex::test
