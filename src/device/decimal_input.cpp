#include "device/decimal_input.h"

namespace selvarex {

std::optional<std::int32_t> StrToInt32(std::string_view text) {
  if (text.empty()) return std::nullopt;
  bool negative = false;
  std::size_t i = 0;
  if (text[0] == '+' || text[0] == '-') {
    negative = text[0] == '-';
    i = 1;
  }
  if (i == text.size()) return std::nullopt;
  std::int64_t value = 0;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
    if (value > 2147483648LL) return std::nullopt;  // stop before the text can overflow
  }
  if (negative) value = -value;
  if (value < INT32_MIN || value > INT32_MAX) return std::nullopt;
  return static_cast<std::int32_t>(value);
}

bool IsNonNegativeInt32(std::string_view text) {
  const auto value = StrToInt32(text);
  return value.has_value() && *value >= 0;
}

}  // namespace selvarex
