// Peak memory of a full default dump read and write against one a quarter as
// long: each run in a fresh process, whose maximum resident size is read
// before and after the run. The simulated chip lives in the same process and
// keeps every block written to it; its share is taken off the write figures.
#include <QCoreApplication>
#include <QProcess>
#include <QProcessEnvironment>
#include <cstdio>
#include <sys/resource.h>
#include <vector>

#include "bench_sections.h"
#include "bench_window.h"

namespace selvarex::bench {

namespace {

constexpr std::uint32_t kBlock = 135168;

double MaxRssMiB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;  // KiB on Linux
}

// An image whose blocks are all good: every block of the range is written.
void WriteImage(const std::string& path, std::uint32_t blocks) {
  std::vector<std::uint8_t> block(kBlock, 0x5A);
  block[2048] = 0xFF;
  std::FILE* out = std::fopen(path.c_str(), "wb");
  for (std::uint32_t b = 0; b < blocks; ++b) std::fwrite(block.data(), 1, kBlock, out);
  std::fclose(out);
}

double ChildGrowthMiB(const QString& kind, std::uint32_t blocks) {
  QProcess child;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
  child.setProcessEnvironment(env);
  child.start(QCoreApplication::applicationFilePath(), {"memory-child", kind, QString::number(blocks)});
  if (!child.waitForFinished(300000)) return -1;
  const QByteArray out = child.readAllStandardOutput();
  const int at = out.indexOf("growth-mib ");
  return at < 0 ? -1 : out.mid(at + 11).trimmed().split('\n').first().toDouble();
}

}  // namespace

int MemoryChild(const std::string& kind, std::uint32_t blocks) {
  BenchWindow w;
  const std::string image = w.Path("image.bin");
  const auto& api = w.window->Library().Api();
  const drav::Handle flash = w.window->Connection().FFlash;
  if (kind == "write") {
    WriteImage(image, blocks);
    api.DravFlashEraseAll(flash);
  }
  w.sim->SimCtl_ResetCounts();
  const double before = MaxRssMiB();
  if (kind == "write") {
    w.Run(ActionId::actFlashProgram, 0, std::int64_t{blocks} * kBlock, image);
  } else {
    w.Run(ActionId::actFlashRead, 0, std::int64_t{blocks} * kBlock, image);
  }
  const double chipMiB = kind == "write"
                             ? w.sim->SimCtl_CallCount("DravFlashWrite") * double{kBlock} / (1024.0 * 1024.0)
                             : 0.0;
  std::printf("growth-mib %.3f\n", MaxRssMiB() - before - chipMiB);
  return 0;
}

void BenchMemory(Report& report) {
  for (const char* kind : {"read", "write"}) {
    const double full = ChildGrowthMiB(kind, 1024);
    const double quarter = ChildGrowthMiB(kind, 256);
    report.Add({std::string("peak memory growth, dump ") + (kind[0] == 'r' ? "reading" : "writing") +
                    " 1024 vs 256 blocks",
                full, quarter, "MiB", "within a few MiB"});
  }
  report.Note(
      "Peak memory: growth of the process's maximum resident size over the run, measured in a fresh\n"
      "process per run; for writing, the simulated chip's memory for the blocks programmed is taken off.");
}

}  // namespace selvarex::bench
