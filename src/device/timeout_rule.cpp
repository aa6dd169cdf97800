#include "device/timeout_rule.h"

#include "device/decimal_input.h"

namespace selvarex {

bool TimeoutOkEnabled(std::string_view rxText, std::string_view txText) {
  return IsNonNegativeInt32(rxText) && IsNonNegativeInt32(txText);
}

}  // namespace selvarex
