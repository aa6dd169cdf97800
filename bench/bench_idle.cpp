// The enable rules: their cost per idle pass while connected with a usable
// chip, and the library calls of a window that sits untouched.
#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <chrono>

#include "app/form_main.h"
#include "app/idle_notifier.h"
#include "bench_sections.h"
#include "bench_window.h"
#include "probe_clock.h"
#include "support/scripted_prompts.h"
#include "support/sim_harness.h"
#include "support/window_controls.h"

namespace selvarex::bench {

namespace {

void RunLoopFor(int milliseconds) {
  QEventLoop loop;
  QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
  loop.exec();
}

}  // namespace

void BenchIdle(Report& report) {
  test::SimWorkDir dir;
  test::ScriptedPrompts prompts;
  TFormMain window(prompts);
  window.show();
  window.ExecuteAction(ActionId::actDLLLoad);
  test::SimControl sim;
  sim.SimCtl_Reset();
  window.ExecuteAction(ActionId::actDravolinConnect);
  test::FlashItem(window, 0)->click();
  window.RunIdlePass();

  constexpr int kPasses = 2000;
  sim.SimCtl_ResetCounts();
  std::int64_t start = MonotonicNs();
  for (int i = 0; i < kPasses; ++i) window.RunIdlePass();
  const double passUs = static_cast<double>(MonotonicNs() - start) / 1e3 / kPasses;
  const double callsPerPass = static_cast<double>(sim.SimCtl_TotalCalls()) / kPasses;

  // The least the rules need: one support query per flash command.
  const auto& api = window.Library().Api();
  const auto& connection = window.Connection();
  start = MonotonicNs();
  for (int i = 0; i < kPasses; ++i) {
    for (int query = 0; query < 8; ++query) {
      std::uint32_t flag = 0;
      api.DravDevIsProdSupported(connection.DeviceHandle(), connection.FlashId(), &flag);
    }
  }
  const double queriesUs = static_cast<double>(MonotonicNs() - start) / 1e3 / kPasses;

  report.Add({"idle pass, connected, usable chip: library calls", callsPerPass, 0, "calls", "8 (one per flash rule)"});
  report.Add({"idle pass, connected, usable chip: time", passUs, queriesUs, "us", "baseline: 8 bare queries"});
  {
    // The same passes with the library in its host: eight round trips.
    BenchWindow hosted(true);
    TFormMain& h = *hosted.window;
    start = MonotonicNs();
    for (int i = 0; i < kPasses; ++i) h.RunIdlePass();
    const double hostUs = static_cast<double>(MonotonicNs() - start) / 1e3 / kPasses;
    report.Add({"idle pass, connected, usable chip, through the host", hostUs, passUs, "us",
                "<= 200 us (baseline: in process)"});
  }

  // A window nobody touches: after the passes that follow the last input,
  // the rules must not run again, so the library sees no calls at all.
  int passes = 0;
  IdleNotifier notifier;
  QObject::connect(&notifier, &IdleNotifier::idle, &window, [&] {
    if (window.RunIdlePass()) ++passes;
  });
  RunLoopFor(300);
  const int settled = passes;
  sim.SimCtl_ResetCounts();
  constexpr int kQuietMs = 2000;
  RunLoopFor(kQuietMs);
  report.Add(
      {"untouched window: library calls per second", sim.SimCtl_TotalCalls() * 1000.0 / kQuietMs, 0, "calls/s", "0"});
  report.Add({"untouched window: idle passes per second", (passes - settled) * 1000.0 / kQuietMs, 0, "passes/s", "0"});
  window.close();
}

}  // namespace selvarex::bench
