#include "bench_report.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <thread>

namespace selvarex::bench {

namespace {

std::string CpuModel() {
  std::ifstream cpuinfo("/proc/cpuinfo");
  std::string line;
  while (std::getline(cpuinfo, line)) {
    if (line.rfind("model name", 0) == 0) return line.substr(line.find(':') + 2);
  }
  return "unknown CPU";
}

}  // namespace

double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const std::size_t middle = values.size() / 2;
  return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

void Report::Print(const std::string& command) const {
  std::printf("\nSelvarex benchmarks\ncommand: %s\nmachine: %s, %u hardware threads\nfiles in: %s\n\n", command.c_str(),
              CpuModel().c_str(), std::thread::hardware_concurrency(),
              std::filesystem::temp_directory_path().string().c_str());
  std::printf("| %-58s | %14s | %14s | %7s | %-22s |\n", "figure", "value", "baseline", "ratio", "goal");
  std::printf("|%s|%s|%s|%s|%s|\n", std::string(60, '-').c_str(), std::string(16, '-').c_str(),
              std::string(16, '-').c_str(), std::string(9, '-').c_str(), std::string(24, '-').c_str());
  for (const Row& row : rows_) {
    char value[64], baseline[64], ratio[32];
    std::snprintf(value, sizeof value, "%.3f %s", row.value, row.unit.c_str());
    if (row.baseline > 0) {
      std::snprintf(baseline, sizeof baseline, "%.3f %s", row.baseline, row.unit.c_str());
      std::snprintf(ratio, sizeof ratio, "%.3f", row.value / row.baseline);
    } else {
      std::snprintf(baseline, sizeof baseline, "-");
      std::snprintf(ratio, sizeof ratio, "-");
    }
    std::printf("| %-58s | %14s | %14s | %7s | %-22s |\n", row.figure.c_str(), value, baseline, ratio,
                row.goal.c_str());
  }
  for (const std::string& note : notes_) std::printf("\n%s", note.c_str());
  std::printf("\n");
}

}  // namespace selvarex::bench
