#include "cli/terminal_progress.h"

#include "device/platform_process.h"

namespace selvarex::cli {

TerminalProgress::TerminalProgress(bool shown, std::string verb, std::FILE* out)
    : shown_(shown), verb_(std::move(verb)), out_(out) {}

void TerminalProgress::RunStarts(std::uint32_t cycles, RunUnit unit) {
  // The line counts the run's own blocks, whatever range the window's bar would show.
  meter_.SetRange(cycles);
  meter_.StartRun();
  meter_.CountCycles(cycles, unit);
  started_ = true;
}

void TerminalProgress::BlockDone() {
  if (!meter_.BlockDone() || !shown_) return;
  const std::int64_t drawing = meter_.FrameStarts();
  Draw();
  meter_.FrameDrawn(drawing);
}

bool TerminalProgress::StopRequested() { return platform::Interrupted(); }

void TerminalProgress::Finish() {
  if (!shown_ || !started_) return;
  Draw();
  std::fputc('\n', out_);
  std::fflush(out_);
  drawn_ = false;
  started_ = false;
}

void TerminalProgress::Draw() {
  std::string line =
      verb_ + " " + std::to_string(meter_.Position()) + "/" + std::to_string(meter_.Maximum()) + " blocks";
  const std::string figures = meter_.Text('.');
  if (!figures.empty()) line += ", " + figures;
  // The line is drawn over the last one: blanks cover what was longer.
  const std::size_t width = line.size();
  if (drawn_ && drawnWidth_ > width) line.append(drawnWidth_ - width, ' ');
  std::fputc('\r', out_);
  std::fputs(line.c_str(), out_);
  std::fflush(out_);
  drawn_ = true;
  drawnWidth_ = width;
}

}  // namespace selvarex::cli
