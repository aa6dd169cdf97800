// Start-up: process start to the first idle pass of the shown main window,
// against a Qt program that shows one empty window.
#include <QCoreApplication>
#include <QProcess>
#include <QProcessEnvironment>

#include "bench_sections.h"
#include "probe_clock.h"

namespace selvarex::bench {

namespace {

// Milliseconds from starting the probe to the idle moment it reports.
double StartupMs(const QString& program) {
  QProcess probe;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
  probe.setProcessEnvironment(env);
  const std::int64_t started = MonotonicNs();
  probe.start(program, {});
  if (!probe.waitForFinished(30000)) return -1;
  const QByteArray out = probe.readAllStandardOutput();
  const int at = out.indexOf("first-idle-ns ");
  if (at < 0) return -1;
  const long long idle = out.mid(at + 14).trimmed().split('\n').first().toLongLong();
  return static_cast<double>(idle - started) / 1e6;
}

}  // namespace

void BenchStartup(Report& report, int rounds) {
  const QString dir = QCoreApplication::applicationDirPath();
  std::vector<double> program, baseline;
  StartupMs(dir + "/startup_probe");  // warm the file cache for both
  StartupMs(dir + "/minimal_qt_probe");
  for (int round = 0; round < rounds; ++round) {
    // Alternating keeps slow phases of a shared machine from favouring one side.
    program.push_back(StartupMs(dir + "/startup_probe"));
    baseline.push_back(StartupMs(dir + "/minimal_qt_probe"));
  }
  report.Add({"start-up to first idle pass (median of " + std::to_string(rounds) + ")", Median(program),
              Median(baseline), "ms", "baseline: empty Qt window"});
}

}  // namespace selvarex::bench
