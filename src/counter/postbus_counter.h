// One measurement of the programmer's PostBus counter.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "counter/counter_view.h"
#include "device/dravolin_api.h"
#include "device/programmer.h"

namespace selvarex {

constexpr int kCounterPollBudget = 1000;

// The captions of the counter's status and of its three results.
struct CounterCaptions {
  const char* status;
  const char* ticks;
  const char* time;
  const char* value;
};
constexpr CounterCaptions kCounterCaptions{"Status:", "Times:", "Time:", "Value:"};
constexpr double kCounterTickMicroseconds = 0.0416;

// Ticks as microseconds with one decimal and "uS", no digit grouping:
// 24038 ticks give "1000.0uS".
std::string FormatCounterTime(std::uint32_t ticks, char decimalSeparator);
// Two upper-case hexadecimal digits.
std::string FormatCounterValue(std::uint8_t value);

// The entry points a measurement calls.
[[maybe_unused]] constexpr std::array kCounterEntries{drav::Entry::DravCounterReset, drav::Entry::DravCounterStart,
                                                      drav::Entry::DravCounterGet};

// Resets, starts and polls the counter through the selected chip's flash
// object. Does nothing when the library lacks one of kCounterEntries.
void RunCounter(Programmer& programmer, CounterView& view, char decimalSeparator);

}  // namespace selvarex
