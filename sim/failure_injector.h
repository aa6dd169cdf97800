// Failures tests order in advance: "the nth call of this entry from now, and
// the count - 1 calls after it".
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "device/dravolin_api.h"

namespace sim {

class FailureInjector {
 public:
  // nth 1 = the next call (0 counts as 1); count 0 = every call from the nth on.
  void Add(drav::Entry entry, std::uint32_t nth, std::uint32_t count, std::string text);
  // Called once for every call of the entry: the error text when it must fail.
  std::optional<std::string> Next(drav::Entry entry);
  void Clear();

 private:
  struct Rule {
    std::uint64_t first;
    std::uint64_t last;  // inclusive
    std::string text;
  };
  // Calls seen per entry; never reset, so numbering stays relative to "now".
  std::array<std::uint64_t, drav::kEntryCount> calls_{};
  std::array<std::vector<Rule>, drav::kEntryCount> rules_;
};

}  // namespace sim
