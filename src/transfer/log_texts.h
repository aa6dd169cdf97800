// Log entry texts that more than one process writes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace selvarex::log_text {

// One pass of a process's loop. Its prefix ("Erase cycle #12/1024", the
// number being the block index + 1) is built only when an entry is written,
// so a clean run does no log work per block.
struct Cycle {
  std::string_view word;  // "Erase", "Write", "Read"
  std::uint32_t index;
  std::uint32_t total;

  std::string Prefix() const;
};

// "Flash0" and the process's own summary text.
std::string Summary(std::int32_t selectedFlash, std::string_view text);
std::string BadBlock(const Cycle& cycle, std::uint32_t count, std::uint32_t blockAddress);
std::string MarkerReadError(const Cycle& cycle, std::uint32_t blockAddress);
std::string StoppedByOperator(const Cycle& cycle);

}  // namespace selvarex::log_text
