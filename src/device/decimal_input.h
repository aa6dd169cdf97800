// The numbers operators type into the dialogs: decimal, signed 32-bit.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace selvarex {

// An optional sign followed by decimal digits, within the signed 32-bit range;
// anything else (empty, spaces, letters, overflow) does not convert.
std::optional<std::int32_t> StrToInt32(std::string_view text);

// The dialogs' OK rules: a field is valid when its text converts to an integer
// of 0 or more (text that does not convert counts as -1).
bool IsNonNegativeInt32(std::string_view text);

}  // namespace selvarex
