// The frame of every one of the 36 entry points: record the call, fail it when
// a test ordered so, run its body under the model's lock, count its device
// time and, with realistic timing, take that time.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <exception>
#include <string>
#include <type_traits>

#include "device_clock.h"
#include "device_timing.h"
#include "sim/sim_control.h"
#include "sim_model.h"

namespace sim {

// Result type and parameter count of each entry point, from the one list.
template <drav::Entry E>
struct EntryTraits;
template <typename F>
struct ParamCount;
template <typename... P>
struct ParamCount<void(P...)> {
  static constexpr std::size_t value = sizeof...(P);
};
#define SIM_DECLARE_TRAITS(name, result, params)                           \
  template <>                                                              \
  struct EntryTraits<drav::Entry::name> {                                  \
    using Result = result;                                                 \
    static constexpr std::size_t kParams = ParamCount<void params>::value; \
  };
DRAVOLIN_ENTRY_POINTS(SIM_DECLARE_TRAITS)
#undef SIM_DECLARE_TRAITS

// How a call's argument is recorded.
template <typename T>
std::uint32_t ArgValue(T* pointer) {
  return pointer != nullptr ? 1u : 0u;
}
template <typename T>
requires std::is_integral_v<T> std::uint32_t ArgValue(T value) { return static_cast<std::uint32_t>(value); }
template <typename... A>
std::array<std::uint32_t, sizeof...(A)> Args(A... args) {
  return {ArgValue(args)...};
}

// What a failed call returns, whatever the entry's result type.
struct Failed {
  template <typename R>
  operator R() const {
    return R{0};
  }
};

// What the body of an entry point works with: the model, the ways to fail,
// the out-values and the device time of the call.
class EntryCall {
 public:
  explicit EntryCall(SimModel& m) : model(m) {}

  Failed Fail(std::string text) {
    model.lastError = std::move(text);
    return {};
  }
  // position counts from 1, as in the call.
  Failed NullArgument(int position);
  Failed InvalidUsb(drav::Handle usb);
  Failed InvalidDevice(drav::Handle device);
  Failed InvalidFlash(drav::Handle flash);
  Failed UnknownFlashId(std::uint32_t flashId);

  // Writes an out-value with exactly its width, unless the library is told
  // to skip out-values.
  template <typename T>
  void Out(T* target, T value) const {
    if (!SkipOutValues()) std::memcpy(target, &value, sizeof value);
  }
  bool SkipOutValues() const { return (model.misbehaviour & kSimSkipOutValues) != 0; }
  bool TextsWithoutNul() const { return (model.misbehaviour & kSimTextsWithoutNul) != 0; }

  void AddDeviceTime(std::uint64_t ns) { deviceNs_ += ns; }
  std::uint64_t DeviceTimeNs() const { return deviceNs_; }

  SimModel& model;

 private:
  std::uint64_t deviceNs_ = timing::kCommandOverheadNs;
};

template <drav::Entry E, std::size_t N, typename Body>
typename EntryTraits<E>::Result RunEntry(const std::array<std::uint32_t, N>& args, Body&& body) {
  static_assert(N == EntryTraits<E>::kParams, "record every argument of the entry");
  using Result = typename EntryTraits<E>::Result;
  const auto start = std::chrono::steady_clock::now();
  Result result{0};
  std::uint64_t deviceNs = 0;
  bool realistic = false;
  {
    SimModel& model = Model();
    LockGuard lock(model.mutex);
    model.recorder.Record(E, args.data(), N);
    EntryCall call(model);
    if (auto injected = model.failures.Next(E)) {
      // A failing DravGetLastError leaves the error it would have told.
      if constexpr (E != drav::Entry::DravGetLastError) call.Fail(std::move(*injected));
    } else {
      try {
        result = body(call);
      } catch (const std::exception&) {
        // Nothing may leave the library; memory is all that can run out.
        result = call.Fail("Out of memory");
      }
    }
    deviceNs = call.DeviceTimeNs();
    model.clock.Add(deviceNs);
    realistic = model.clock.realistic;
  }
  // Not under the lock: a waiting call must not stop the tests' control calls.
  if (realistic) WaitUntil(start + std::chrono::nanoseconds(deviceNs));
  Model().clock.AddInCalls(static_cast<std::uint64_t>(
      std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now() - start).count()));
  return result;
}

}  // namespace sim
