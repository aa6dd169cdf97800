#include "transfer/block_difference.h"

#include <cstring>

#include "transfer/block_geometry.h"

namespace selvarex {

std::optional<BlockDifference> DifferenceOf(std::uint32_t block, const std::uint8_t* one, const std::uint8_t* other) {
  std::optional<BlockDifference> difference;
  if (std::memcmp(one, other, nand::kBlockSize) == 0) return difference;
  for (std::uint32_t offset = 0; offset < nand::kBlockSize; ++offset) {
    if (one[offset] == other[offset]) continue;
    if (!difference)
      difference = BlockDifference{block, nand::BlockAddress(block), nand::BlockAddress(block) + offset, 0};
    ++difference->differingBytes;
  }
  return difference;
}

std::string DifferenceText(const BlockDifference& difference) {
  using std::to_string;
  return "Block " + to_string(difference.block) + " at Address: " + to_string(difference.address) + " (dec), " +
         to_string(difference.differingBytes) +
         " byte/s differ, the first at Address: " + to_string(difference.firstAddress) + " (dec)";
}

}  // namespace selvarex
