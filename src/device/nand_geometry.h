// How the NAND chip is laid out, as the programmer moves its bytes: the one
// place for these numbers, in the program, its tests and the simulated chip.
#pragma once

#include <cstdint>

namespace selvarex::nand {

// A page is 2048 data bytes followed by 64 spare bytes; the library reads and
// writes both, so a block as it is transferred is 64 raw pages.
constexpr std::uint32_t kPageDataSize = 2048;
constexpr std::uint32_t kPageSize = 2112;
constexpr std::uint32_t kPagesPerBlock = 64;
constexpr std::uint32_t kBlockSize = kPageSize * kPagesPerBlock;
static_assert(kBlockSize == 135168);

// The bad-block byte is the first spare byte of a block's first page:
// see docs/formats.md, "Blocks and addresses".
constexpr std::uint32_t kMarkerOffset = kPageDataSize;
constexpr std::uint8_t kGoodMarker = 0xFF;
// This block counts as good whatever its marker holds: see docs/formats.md,
// "Bad blocks".
constexpr std::uint32_t kExemptBlock = 511;

// NAND addresses are unsigned 32-bit: blocks from this index on run past
// 4294967295, so it is the highest end block (exclusive) a run may have, and
// the most blocks a chip may have.
constexpr std::uint32_t kMaxEndBlock = 31775;
static_assert(std::uint64_t{kMaxEndBlock} * kBlockSize <= 0x100000000ULL);
static_assert(std::uint64_t{kMaxEndBlock + 1} * kBlockSize > 0x100000000ULL);

}  // namespace selvarex::nand
