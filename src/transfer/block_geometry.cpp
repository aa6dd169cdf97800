#include "transfer/block_geometry.h"

namespace selvarex::nand {

bool IsGoodBlock(std::uint32_t index, std::uint8_t marker) { return marker == kGoodMarker || index == kExemptBlock; }

BlockRange RangeFor(std::int32_t address, std::int32_t byteCount) {
  const auto start = static_cast<std::uint32_t>(address);
  const auto count = static_cast<std::uint32_t>(byteCount);
  return BlockRange{start / kBlockSize, (start + count) / kBlockSize, count / kBlockSize};
}

}  // namespace selvarex::nand
