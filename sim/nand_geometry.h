// The layout of the simulated chips, as the programmer moves their bytes: the
// program's own NAND geometry, and how many chips and blocks the model has.
#pragma once

#include <cstdint>

#include "device/nand_geometry.h"

namespace sim {

using selvarex::nand::kBlockSize;
using selvarex::nand::kGoodMarker;
using selvarex::nand::kMarkerOffset;
using selvarex::nand::kPageSize;
using selvarex::nand::kPagesPerBlock;

constexpr std::uint32_t kChipCount = 2;
constexpr std::uint32_t kDefaultBlocks = 1024;
// The biggest chip whose every byte address still fits the library's 32 bits.
constexpr std::uint32_t kMaxBlocks = selvarex::nand::kMaxEndBlock;

}  // namespace sim
