// Peak memory of a full default dump read and write against one a quarter as
// long: each run in a fresh process, whose maximum resident size is read after
// the run. The simulated chip lives in the same process and keeps every block
// written to it; its share is taken off the write figures.
#include <QCoreApplication>
#include <QProcess>
#include <QProcessEnvironment>
#include <cstdio>
#include <vector>

#include "bench_sections.h"
#include "bench_window.h"
#include "device/nand_geometry.h"

namespace selvarex::bench {

namespace {

constexpr std::uint32_t kBlock = nand::kBlockSize;

// The high-water mark of this process's own memory. Not getrusage's
// ru_maxrss: Linux carries that across fork and exec, so a child started by a
// large benchmark process would report the parent's peak.
double PeakRssMiB() {
  std::FILE* status = std::fopen("/proc/self/status", "r");
  if (status == nullptr) return -1;
  char line[256];
  double kib = -1;
  while (std::fgets(line, sizeof line, status) != nullptr) {
    if (std::sscanf(line, "VmHWM: %lf kB", &kib) == 1) break;
  }
  std::fclose(status);
  return kib < 0 ? -1 : kib / 1024.0;
}

// An image whose blocks are all good: every block of the range is written.
void WriteImage(const std::string& path, std::uint32_t blocks) {
  std::vector<std::uint8_t> block(kBlock, 0x5A);
  block[nand::kMarkerOffset] = nand::kGoodMarker;
  std::FILE* out = std::fopen(path.c_str(), "wb");
  for (std::uint32_t b = 0; b < blocks; ++b) std::fwrite(block.data(), 1, kBlock, out);
  std::fclose(out);
}

double ChildPeakMiB(const QString& kind, std::uint32_t blocks) {
  QProcess child;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
  child.setProcessEnvironment(env);
  child.start(QCoreApplication::applicationFilePath(), {"memory-child", kind, QString::number(blocks)});
  if (!child.waitForFinished(300000)) return -1;
  const QByteArray out = child.readAllStandardOutput();
  const int at = out.indexOf("peak-mib ");
  return at < 0 ? -1 : out.mid(at + 9).trimmed().split('\n').first().toDouble();
}

}  // namespace

int MemoryChild(const std::string& kind, std::uint32_t blocks) {
  BenchWindow w;
  const std::string image = w.Path("image.bin");
  const auto& api = w.window->Library().Api();
  const drav::Handle flash = w.window->Connection().FlashHandle();
  if (kind == "write") {
    WriteImage(image, blocks);
    api.DravFlashEraseAll(flash);
  }
  w.sim->SimCtl_ResetCounts();
  if (kind == "write") {
    w.Run(ActionId::actFlashProgram, 0, std::int64_t{blocks} * kBlock, image);
  } else {
    w.Run(ActionId::actFlashRead, 0, std::int64_t{blocks} * kBlock, image);
  }
  const double chipMiB =
      kind == "write" ? w.sim->SimCtl_CallCount("DravFlashWrite") * double{kBlock} / (1024.0 * 1024.0) : 0.0;
  std::printf("peak-mib %.3f\n", PeakRssMiB() - chipMiB);
  return 0;
}

void BenchMemory(Report& report) {
  for (const char* kind : {"read", "write"}) {
    const double full = ChildPeakMiB(kind, 1024);
    const double quarter = ChildPeakMiB(kind, 256);
    report.Add({std::string("peak memory, dump ") + (kind[0] == 'r' ? "reading" : "writing") + " 1024 vs 256 blocks",
                full, quarter, "MiB", "within a few MiB"});
  }
  report.Note(
      "Peak memory: the high-water mark of resident memory (VmHWM) of a fresh process that runs the\n"
      "window's command once; the simulated chip lives in that process, so for writing the memory of\n"
      "the blocks it was programmed with (135168 bytes each) is taken off.");
}

}  // namespace selvarex::bench
