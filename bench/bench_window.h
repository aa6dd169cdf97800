// The real main window, connected to the simulated programmer with "Flash 0"
// selected, its dialogs answered by the benchmark.
#pragma once

#include <QString>
#include <cstdint>
#include <memory>
#include <string>

#include "app/form_main.h"
#include "support/scripted_prompts.h"
#include "support/sim_harness.h"

namespace selvarex::bench {

class BenchWindow {
 public:
  // throughHost: the window loads the library through its host, and the
  // simulator lives there too, out of reach of the control interface (sim
  // is null); realistic timing then comes from DRAVOLIN_SIM_TIMING.
  explicit BenchWindow(bool throughHost = false);
  ~BenchWindow();

  // Runs a command whose parameter dialog gets these two numbers and, for
  // read and write, this file; returns the wall time in seconds.
  double Run(ActionId command, std::int64_t first, std::int64_t second, const std::string& file = {});
  std::string Path(const char* name) const;

  std::unique_ptr<test::SimWorkDir> dir;
  test::ScriptedPrompts prompts;
  std::unique_ptr<TFormMain> window;
  std::unique_ptr<test::SimControl> sim;
};

double SecondsSince(std::int64_t startNs);

}  // namespace selvarex::bench
