// The programmer as the command line holds it: the library loaded, the first
// programmer open, the device object created and the chosen flash chip
// selected, with the window's panels and enable rules, so every command is
// allowed or refused exactly as the window allows or disables it.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "cli/cli_options.h"
#include "device/action_rules.h"
#include "device/connection_view.h"
#include "device/dravolin_library.h"
#include "device/errors.h"
#include "device/programmer.h"
#include "transfer/transfer_target.h"

namespace selvarex::cli {

// The library or the programmer cannot be had.
class Unavailable : public Exception {
 public:
  using Exception::Exception;
};

class Session : private ConnectionView, private RuleState {
 public:
  explicit Session(const Options& options);
  // Closes and unloads whatever is still open, quietly.
  ~Session() override;
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  // Load, connect, select the flash chip. Throws Unavailable.
  void Open();
  // Throws Exception saying why when the window would keep the command disabled.
  void Require(ActionId command);
  // Disconnects (destroying the device object) and unloads the library; throws
  // when the library fails to close or to be freed.
  void Close();

  // What the panel shows for the label.
  std::string Label(PanelLabel label) const;
  Programmer& Connection() { return programmer_; }
  DravolinLibrary& Library() { return library_; }
  TransferTarget Target() const;

 private:
  // ConnectionView
  void ShowLabel(PanelLabel label, const std::string& text) override { labels_[label] = text; }
  void ResetFlashSelector(bool) override {}
  // RuleState
  bool IsDLLOpen() override { return library_.IsOpen(); }
  bool IsConnected() override { return programmer_.IsConnected(); }
  bool IsFlashProdSupported() override { return programmer_.IsFlashProdSupported(); }
  bool HasEntry(drav::Entry entry) override { return library_.Has(entry); }
  bool HasFlash() override { return programmer_.HasFlash(); }
  bool FlashItemSelected() override { return flashSelected_; }
  std::optional<ActionId> RunningCommand() override { return std::nullopt; }

  std::string Refusal(const RuleTerm& term) const;

  DravolinLibrary library_;
  Programmer programmer_{library_};
  std::uint32_t flash_;
  bool flashSelected_ = false;
  std::map<PanelLabel, std::string> labels_;
};

}  // namespace selvarex::cli
