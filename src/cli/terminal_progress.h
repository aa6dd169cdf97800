// What a block-wise run needs of the command line: progress on standard
// error while it lasts, and Ctrl+C as the way to stop it.
#pragma once

#include <cstdio>
#include <string>

#include "transfer/process_host.h"
#include "transfer/progress_meter.h"

namespace selvarex::cli {

class TerminalProgress : public ProcessHost {
 public:
  // shown: draw the progress line (standard error is a terminal, no --quiet);
  // verb: what the line says the run does ("Reading").
  TerminalProgress(bool shown, std::string verb, std::FILE* out = stderr);

  void SetProgressRange(std::uint32_t) override {}
  void RunStarts(std::uint32_t cycles, RunUnit unit) override;
  void BlockDone() override;
  bool StopRequested() override;
  // The run has ended: its last position stays on a line of its own.
  void Finish();

 private:
  void Draw();

  bool shown_;
  std::string verb_;
  std::FILE* out_;
  ProgressMeter meter_;
  bool started_ = false;
  bool drawn_ = false;
  std::size_t drawnWidth_ = 0;
};

}  // namespace selvarex::cli
