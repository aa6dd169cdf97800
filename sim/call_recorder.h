// What tests ask after the fact: how often each entry point was called, in
// which order, and with which arguments the last time.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <string>

#include "device/dravolin_api.h"

namespace sim {

class CallRecorder {
 public:
  static constexpr std::size_t kLogCapacity = 100000;
  static constexpr std::size_t kMaxArgs = 5;

  // args: scalars as 32-bit values, pointers as 1 (set) or 0 (null).
  void Record(drav::Entry entry, const std::uint32_t* args, std::size_t count);
  std::uint32_t Count(drav::Entry entry) const { return counts_[Index(entry)]; }
  std::uint32_t Total() const { return total_; }
  // The names of the logged calls, oldest first, separated by ",".
  std::string Log() const;
  // Copies up to capacity arguments of the entry's last call; returns how many
  // it took, -1 when it was not called.
  std::int32_t LastArgs(drav::Entry entry, std::uint32_t* out, std::uint32_t capacity) const;
  void Clear();

 private:
  static std::size_t Index(drav::Entry entry) { return static_cast<std::size_t>(entry); }

  struct LastCall {
    bool called = false;
    std::uint32_t count = 0;
    std::array<std::uint32_t, kMaxArgs> args{};
  };

  std::array<std::uint32_t, drav::kEntryCount> counts_{};
  std::uint32_t total_ = 0;
  std::deque<std::uint8_t> log_;
  std::array<LastCall, drav::kEntryCount> last_{};
};

}  // namespace sim
