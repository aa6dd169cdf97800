// Log entry texts that more than one process writes. Every text is kept byte
// for byte, spelling included ("occured"): see docs/formats.md, "Entries".
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
// A block read that failed.
std::string ReadError(const Cycle& cycle, std::uint32_t blockAddress);
// A block whose marker in the image file is bad, at its file offset.
std::string FileBadBlock(const Cycle& cycle, std::uint32_t count, std::int64_t position);
// The image file ended before the block; what (e.g. "writing") stopped there.
std::string ImageEnded(const Cycle& cycle, std::int64_t position, std::string_view what);
// A block that differs: the chip from the image, or one read from another.
std::string Difference(const Cycle& cycle, std::string_view what, std::uint32_t count, std::uint32_t blockAddress,
                       std::uint32_t firstAddress, std::uint32_t differingBytes);

}  // namespace selvarex::log_text
