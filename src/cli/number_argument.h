// Numbers as operators type them on the command line: decimal as in the
// window's dialogs, or hexadecimal after "0x". Like the dialogs' fields they
// must lie between 0 and the largest signed 32-bit number.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace selvarex::cli {

constexpr std::int32_t kLargestArgument = INT32_MAX;

// None for anything else: empty, blanks, a sign before hex digits, letters,
// a negative number or one beyond 2147483647.
std::optional<std::int32_t> ParseNumberArgument(std::string_view text);

}  // namespace selvarex::cli
