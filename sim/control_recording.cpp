// Control functions about the calls: counts, log, arguments, injected
// failures, misbehaviour, timing and the reset of it all.
#include <algorithm>
#include <cstring>
#include <string>

#include "control_support.h"
#include "sim_exports.h"

using sim::EntryByName;
using sim::Model;
using sim::SimModel;

extern "C" {

void DRAV_CALL SimCtl_Reset(void) {
  SimModel& m = Model();
  sim::LockGuard lock(m.mutex);
  m.Reset();
}

void DRAV_CALL SimCtl_ResetCounts(void) {
  SimModel& m = Model();
  sim::LockGuard lock(m.mutex);
  m.recorder.Clear();
  m.clock.ResetTotal();
}

std::uint32_t DRAV_CALL SimCtl_CallCount(const char* entry) {
  SimModel& m = Model();
  sim::LockGuard lock(m.mutex);
  const auto e = EntryByName(entry);
  return e ? m.recorder.Count(*e) : 0;
}

std::uint32_t DRAV_CALL SimCtl_TotalCalls(void) {
  SimModel& m = Model();
  sim::LockGuard lock(m.mutex);
  return m.recorder.Total();
}

std::uint32_t DRAV_CALL SimCtl_CallLog(char* buffer, std::uint32_t size) {
  SimModel& m = Model();
  sim::LockGuard lock(m.mutex);
  const std::string log = m.recorder.Log();
  if (buffer != nullptr && size > 0) {
    const std::size_t length = std::min<std::size_t>(log.size(), size - 1);
    std::memcpy(buffer, log.data(), length);
    buffer[length] = '\0';
  }
  return static_cast<std::uint32_t>(log.size());
}

std::int32_t DRAV_CALL SimCtl_LastArgs(const char* entry, std::uint32_t* args, std::uint32_t count) {
  SimModel& m = Model();
  sim::LockGuard lock(m.mutex);
  const auto e = EntryByName(entry);
  return e ? m.recorder.LastArgs(*e, args, count) : -1;
}

std::int32_t DRAV_CALL SimCtl_FailCall(const char* entry, std::uint32_t nth, std::uint32_t count, const char* text) {
  SimModel& m = Model();
  sim::LockGuard lock(m.mutex);
  const auto e = EntryByName(entry);
  if (!e) return -1;
  m.failures.Add(*e, nth, count, text != nullptr ? text : std::string("Injected failure of ") + entry);
  return 0;
}

void DRAV_CALL SimCtl_ClearFailures(void) {
  SimModel& m = Model();
  sim::LockGuard lock(m.mutex);
  m.failures.Clear();
}

void DRAV_CALL SimCtl_Misbehave(std::uint32_t flags) {
  SimModel& m = Model();
  sim::LockGuard lock(m.mutex);
  m.misbehaviour = flags;
}

void DRAV_CALL SimCtl_SetTiming(std::int32_t realistic) {
  SimModel& m = Model();
  sim::LockGuard lock(m.mutex);
  m.clock.realistic = realistic != 0;
}

std::uint64_t DRAV_CALL SimCtl_SimulatedTimeNs(void) {
  SimModel& m = Model();
  sim::LockGuard lock(m.mutex);
  return m.clock.TotalNs();
}

std::uint64_t DRAV_CALL SimCtl_TimeInCallsNs(void) { return Model().clock.InCallsNs(); }

}  // extern "C"
