// Test support: the program's binding loaded against a simulated library in a
// fresh working directory, with a view that records what the panels show.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "device/connection_view.h"
#include "device/dravolin_library.h"
#include "device/programmer.h"
#include "support/sim_harness.h"

namespace selvarex::test {

class RecordingView : public ConnectionView {
 public:
  void ShowLabel(PanelLabel label, const std::string& text) override { labels[label] = text; }
  void ResetFlashSelector(bool enabled) override {
    selectorEnabled = enabled;
    ++selectorResets;
  }
  std::string Label(PanelLabel label) const {
    auto it = labels.find(label);
    return it == labels.end() ? "<unset>" : it->second;
  }

  std::map<PanelLabel, std::string> labels;
  bool selectorEnabled = false;
  int selectorResets = 0;
};

// Loads ./Dravolin.dll of the chosen variant; Connect() and SelectFlash()
// bring the programmer to the state most tests start from.
class SimSession {
 public:
  explicit SimSession(const std::string& variant = "default");
  ~SimSession();

  void Connect() { programmer.Connect(view); }
  void ConnectAndSelect(std::uint32_t flash = 0);
  // The message of the exception fn throws, "" when it throws none.
  template <typename Fn>
  static std::string ErrorOf(Fn&& fn) {
    try {
      fn();
    } catch (const std::exception& error) {
      return error.what();
    }
    return "";
  }

  SimWorkDir dir;
  DravolinLibrary library;
  std::unique_ptr<SimControl> sim;
  Programmer programmer{library};
  RecordingView view;
};

}  // namespace selvarex::test
