#include "transfer/chip_checks.h"

#include "transfer/block_geometry.h"

namespace selvarex {

std::optional<std::uint8_t> ReadChipMarker(const TransferTarget& target, std::uint32_t blockAddress) {
  std::uint8_t marker = 0;
  if (target.library.Api().DravFlashRead(target.flash, blockAddress + nand::kMarkerOffset, &marker, 1) == 0)
    return std::nullopt;
  return marker;
}

bool ChipBlockUsable(std::uint32_t index, std::optional<std::uint8_t> marker) {
  if (!marker.has_value()) return index == nand::kExemptBlock;
  return nand::IsGoodBlock(index, *marker);
}

void SetWriteVerify(const TransferTarget& target, bool verify, OperationLog& log) {
  if (target.library.Api().DravFlashSetWVerify(target.flash, verify ? 1u : 0u) != 0) return;
  log.Entry("An Error occured while setting Write Verify!");
  target.library.RaiseLastDravolinError();
}

}  // namespace selvarex
