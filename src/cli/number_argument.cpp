#include "cli/number_argument.h"

#include "device/decimal_input.h"

namespace selvarex::cli {

namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::optional<std::int32_t> ParseNumberArgument(std::string_view text) {
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    std::int64_t value = 0;
    for (const char c : text.substr(2)) {
      const int digit = HexDigit(c);
      if (digit < 0) return std::nullopt;
      value = value * 16 + digit;
      if (value > kLargestArgument) return std::nullopt;
    }
    return static_cast<std::int32_t>(value);
  }
  // Decimal by the dialogs' own rule.
  if (!IsNonNegativeInt32(text)) return std::nullopt;
  return StrToInt32(text);
}

}  // namespace selvarex::cli
