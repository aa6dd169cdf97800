// What a parameter dialog with a file dialog of its own costs: each Read and
// Write makes its file dialog and destroys it with the parameter dialog,
// against the erase dialog, which has none. They show a fresh directory, as
// in the transfer section: in a directory of many entries, or one whose
// removed files the kernel still remembers, the file dialog's watch on it
// costs more.
#include <QApplication>
#include <QFileDialog>
#include <functional>
#include <vector>

#include "app/dialogs/erase_sector_dialog.h"
#include "app/dialogs/flash_read_dialog.h"
#include "bench_sections.h"
#include "probe_clock.h"
#include "support/scripted_prompts.h"
#include "support/sim_harness.h"

namespace selvarex::bench {

namespace {

double MedianMs(const std::function<void()>& once, int rounds) {
  std::vector<double> runs;
  for (int round = 0; round < rounds; ++round) {
    const std::int64_t start = MonotonicNs();
    once();
    QApplication::processEvents();  // deferred deletions and the model's first answers
    runs.push_back(static_cast<double>(MonotonicNs() - start) / 1e6);
  }
  return Median(runs);
}

}  // namespace

void BenchDialogs(Report& report) {
  const test::SimWorkDir fresh("");  // no library: the dialogs need none
  test::ScriptedPrompts prompts;
  constexpr int kRounds = 21;
  const auto erase = [&] { TfrmEraseSector dialog(prompts); };
  const auto read = [&] { TfrmFlashRead dialog(prompts); };
  const auto readShown = [&] {
    TfrmFlashRead dialog(prompts);
    dialog.SaveDialog1->show();
    QApplication::processEvents();
    dialog.SaveDialog1->hide();
  };
  MedianMs(read, 3);  // the first file dialog loads the platform's file icons
  // Alternating, so that a slow phase of a shared machine hits every figure.
  std::vector<double> eraseRuns, readRuns, shownRuns;
  for (int round = 0; round < kRounds; ++round) {
    eraseRuns.push_back(MedianMs(erase, 1));
    readRuns.push_back(MedianMs(read, 1));
    shownRuns.push_back(MedianMs(readShown, 1));
  }
  const double baseline = Median(eraseRuns);
  report.Add({"Flash Read dialog with its own file dialog, made and destroyed", Median(readRuns), baseline, "ms",
              "(per Read or Write)"});
  report.Add({"the same, its file dialog shown once", Median(shownRuns), baseline, "ms", "(per Read or Write)"});
  report.Note(
      "Dialogs: the baseline is the erase dialog (no file dialog), made and destroyed in the same rounds;\n"
      "the file dialogs show a fresh directory.");
}

}  // namespace selvarex::bench
