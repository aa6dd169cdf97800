// The blocks a run covers, and which of them are usable.
#pragma once

#include <cstdint>

#include "device/nand_geometry.h"

namespace selvarex::nand {

// The dialogs' default extent.
constexpr std::uint32_t kDefaultBlocks = 1024;
constexpr std::uint32_t kDefaultBytes = kDefaultBlocks * kBlockSize;
static_assert(kDefaultBytes == 138412032);

bool IsGoodBlock(std::uint32_t index, std::uint8_t marker);

// Blocks first..end (end excluded) and the count the operator planned, which
// the log shows as the total and the progress bar as its maximum.
struct BlockRange {
  std::uint32_t first;
  std::uint32_t end;
  std::uint32_t planned;
};

// A byte range as typed in the read and write dialogs. The start is rounded
// down to its block; sum and division are unsigned 32-bit.
BlockRange RangeFor(std::int32_t address, std::int32_t byteCount);

constexpr std::uint32_t BlockAddress(std::uint32_t index) { return index * kBlockSize; }

}  // namespace selvarex::nand
