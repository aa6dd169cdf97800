// The benchmark sections; each adds its rows to the report.
#pragma once

#include <cstdint>
#include <string>

#include "bench_report.h"

namespace selvarex::bench {

void BenchStartup(Report& report, int rounds);
void BenchIdle(Report& report);
void BenchDialogs(Report& report);
void BenchProgress(Report& report);
void BenchTransfer(Report& report);
// only: a process's name contains it ("reading", "erase"); empty for all three.
void BenchRealisticTiming(Report& report, const std::string& only);
void BenchMemory(Report& report);
// The process a memory measurement runs in.
int MemoryChild(const std::string& kind, std::uint32_t blocks);

}  // namespace selvarex::bench
