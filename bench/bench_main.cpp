// Benchmarks of Selvarex against the simulated programmer. Prints a table of
// figures, each against a baseline measured in the same run.
//   selvarex_bench [startup|idle|all]
#include <QApplication>
#include <cstring>
#include <string>

#include "bench_sections.h"

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  std::string command;
  for (int i = 0; i < argc; ++i) command += (i ? " " : "") + std::string(argv[i]);
  const std::string what = argc > 1 ? argv[1] : "all";

  QApplication application(argc, argv);
  application.setApplicationName(QStringLiteral("Selvarex"));
  selvarex::bench::Report report;
  if (what == "startup" || what == "all") selvarex::bench::BenchStartup(report, 15);
  if (what == "idle" || what == "all") selvarex::bench::BenchIdle(report);
  report.Print(command);
  return 0;
}
