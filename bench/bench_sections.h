// The benchmark sections; each adds its rows to the report.
#pragma once

#include "bench_report.h"

namespace selvarex::bench {

void BenchStartup(Report& report, int rounds);
void BenchIdle(Report& report);

}  // namespace selvarex::bench
