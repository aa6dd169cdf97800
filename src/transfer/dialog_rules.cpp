#include "transfer/dialog_rules.h"

#include "device/decimal_input.h"
#include "transfer/block_geometry.h"

namespace selvarex {

namespace {

bool RangeOkEnabled(std::string_view address, std::string_view size, std::string_view fileName) {
  return IsNonNegativeInt32(address) && IsNonNegativeInt32(size) && !fileName.empty();
}

}  // namespace

bool FlashReadOkEnabled(std::string_view address, std::string_view size, std::string_view fileName) {
  return RangeOkEnabled(address, size, fileName);
}

bool FlashWriteOkEnabled(std::string_view address, std::string_view size, std::string_view fileName) {
  return RangeOkEnabled(address, size, fileName);
}

bool EraseSectorOkEnabled(std::string_view address, std::string_view endBlock) {
  const auto end = StrToInt32(endBlock);
  return IsNonNegativeInt32(address) && end.has_value() && *end >= 0 &&
         static_cast<std::uint32_t>(*end) <= nand::kMaxEndBlock;
}

}  // namespace selvarex
