#include "counter/postbus_counter.h"

#include <cstdio>

namespace selvarex {

std::string FormatCounterTime(std::uint32_t ticks, char decimalSeparator) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", static_cast<double>(ticks) * kCounterTickMicroseconds);
  std::string result(text);
  for (char& c : result) {
    if (c == '.') c = decimalSeparator;
  }
  return result + "uS";
}

std::string FormatCounterValue(std::uint8_t value) {
  char text[4];
  std::snprintf(text, sizeof text, "%02X", static_cast<unsigned>(value));
  return text;
}

void RunCounter(Programmer& programmer, CounterView& view, char decimalSeparator) {
  const auto& api = programmer.Api();
  for (const drav::Entry entry : kCounterEntries) {
    if (!api.Has(entry)) return;
  }
  const drav::Handle flash = programmer.FlashHandle();
  view.ShowCounterStatus("BUSY");
  view.ProcessMessagesOnce();
  programmer.RequireLibraryLoaded();

  std::int32_t running = 0;
  std::uint32_t ticks = 0;
  std::uint8_t value = 0;
  std::int32_t timedOut = 0;
  // The first reading belongs to the previous measurement and is discarded.
  if (api.DravCounterGet(flash, &running, &ticks, &value, &timedOut) == 0) programmer.RaiseLastDravolinError();
  if (api.DravCounterReset(flash) == 0) programmer.RaiseLastDravolinError();
  if (api.DravCounterStart(flash) == 0) programmer.RaiseLastDravolinError();

  int budget = kCounterPollBudget;
  running = 1;
  // Values a poll does not write must not pass for a finished measurement.
  timedOut = 0;
  while (budget > 0 && running != 0) {
    if (api.DravCounterGet(flash, &running, &ticks, &value, &timedOut) == 0) programmer.RaiseLastDravolinError();
    --budget;
  }

  // The budget counts polls: a counter that stops on the last poll still timed out.
  if (timedOut != 0 || budget == 0) {
    view.ShowCounterStatus("Time Out");
    return;
  }
  view.ShowCounterStatus("Ready");
  view.ShowCounterResult(std::to_string(ticks), FormatCounterTime(ticks, decimalSeparator), FormatCounterValue(value));
}

}  // namespace selvarex
