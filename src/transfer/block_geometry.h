// How the NAND chip is cut into blocks, and which blocks are usable.
#pragma once

#include <cstdint>

namespace selvarex::nand {

// One block as the library transfers it: 64 pages of 2112 bytes, data and
// spare areas together.
constexpr std::uint32_t kBlockSize = 135168;
// The bad-block byte sits at offset 2048 of a block (the first spare byte):
// see docs/formats.md, "Blocks and addresses".
constexpr std::uint32_t kMarkerOffset = 2048;
// This block counts as good whatever its marker holds. Block 511 is exempt
// from the marker test: see docs/formats.md, "Bad blocks".
constexpr std::uint32_t kExemptBlock = 511;
constexpr std::uint8_t kGoodMarker = 0xFF;

// The dialogs' default extent.
constexpr std::uint32_t kDefaultBlocks = 1024;
constexpr std::uint32_t kDefaultBytes = kDefaultBlocks * kBlockSize;
static_assert(kDefaultBytes == 138412032);

// NAND addresses are unsigned 32-bit: blocks from this index on run past
// 4294967295, so it is the highest end block (exclusive) a run may have.
constexpr std::uint32_t kMaxEndBlock = 31775;
static_assert(std::uint64_t{kMaxEndBlock} * kBlockSize <= 0x100000000ULL);
static_assert(std::uint64_t{kMaxEndBlock + 1} * kBlockSize > 0x100000000ULL);

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
