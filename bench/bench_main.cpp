// Benchmarks of Selvarex against the simulated programmer. Prints a table of
// figures, each against a baseline measured in the same run.
//   selvarex_bench [all|startup|idle|transfer|timing [reading|writing|erase]|memory|dialogs|progress]
#include <QApplication>
#include <cstring>
#include <filesystem>
#include <string>

#include "app/icon_caching_style.h"
#include "bench_sections.h"

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  // Images and logs go to memory unless TMPDIR says otherwise: a disk's
  // write-back would otherwise throttle whichever run happens to meet it.
  std::error_code noShm;
  if (qEnvironmentVariableIsEmpty("TMPDIR") && std::filesystem::is_directory("/dev/shm", noShm))
    qputenv("TMPDIR", "/dev/shm");
  std::string command;
  for (int i = 0; i < argc; ++i) command += (i ? " " : "") + std::string(argv[i]);
  const std::string what = argc > 1 ? argv[1] : "all";

  QApplication application(argc, argv);
  application.setApplicationName(QStringLiteral("Selvarex"));
  selvarex::UseIconCachingStyle();  // as the program runs
  using namespace selvarex::bench;
  if (what == "memory-child" && argc > 3) return MemoryChild(argv[2], static_cast<std::uint32_t>(std::stoul(argv[3])));
  Report report;
  const bool all = what == "all";
  if (all || what == "transfer") BenchTransfer(report);
  if (all || what == "timing") BenchRealisticTiming(report, what == "timing" && argc > 2 ? argv[2] : "");
  if (all || what == "memory") BenchMemory(report);
  if (all || what == "idle") BenchIdle(report);
  if (all || what == "dialogs") BenchDialogs(report);
  if (all || what == "progress") BenchProgress(report);
  if (all || what == "startup") BenchStartup(report, 15);
  report.Print(command);
  return 0;
}
