#include "device_clock.h"

#include <cstdlib>
#include <cstring>

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#else
#include <thread>
#endif

namespace sim {

namespace {

using Clock = std::chrono::steady_clock;

#ifdef _WIN32
// Windows sleeps in timer ticks of up to 15.6 ms.
constexpr auto kSpinMargin = std::chrono::milliseconds(16);

void SleepFor(Clock::duration time) {
  Sleep(static_cast<DWORD>(std::chrono::duration_cast<std::chrono::milliseconds>(time).count()));
}
void Pause() { Sleep(0); }
#else
constexpr auto kSpinMargin = std::chrono::microseconds(200);

void SleepFor(Clock::duration time) { std::this_thread::sleep_for(time); }
void Pause() { std::this_thread::yield(); }
#endif

}  // namespace

bool RealisticTimingFromEnvironment() {
  const char* value = std::getenv("DRAVOLIN_SIM_TIMING");
  return value != nullptr && std::strcmp(value, "realistic") == 0;
}

void WaitUntil(Clock::time_point deadline) {
  const auto left = deadline - Clock::now();
  if (left > kSpinMargin) SleepFor(left - kSpinMargin);
  while (Clock::now() < deadline) Pause();
}

}  // namespace sim
