// The layout of the simulated chips, as the programmer moves their bytes.
#pragma once

#include <cstdint>

namespace sim {

// A page is 2048 data bytes followed by 64 spare bytes; the programmer reads
// and writes both, so a block is 64 raw pages.
constexpr std::uint32_t kPageSize = 2112;
constexpr std::uint32_t kPagesPerBlock = 64;
constexpr std::uint32_t kBlockSize = kPageSize * kPagesPerBlock;  // 135168

// The first spare byte of a block's first page is its bad-block marker.
constexpr std::uint32_t kMarkerOffset = 2048;
constexpr std::uint8_t kGoodMarker = 0xFF;

constexpr std::uint32_t kChipCount = 2;
constexpr std::uint32_t kDefaultBlocks = 1024;
// The biggest chip whose every byte address still fits the library's 32 bits.
constexpr std::uint32_t kMaxBlocks = 31775;
static_assert(std::uint64_t{kMaxBlocks} * kBlockSize <= 0xFFFFFFFFull);
static_assert(std::uint64_t{kMaxBlocks + 1} * kBlockSize > 0xFFFFFFFFull);

}  // namespace sim
