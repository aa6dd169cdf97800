// Texts handed to the caller's buffers, and the texts of the library's errors.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace sim {

// Writes text into a buffer of size bytes (size >= 1): cut to size - 1 bytes
// and terminated; or, for a library that misbehaves, the whole buffer filled
// with the text over and over and no terminator.
void WriteText(char* buffer, std::uint32_t size, std::string_view text, bool withoutNul);

// "0x" followed by at least `digits` upper-case hexadecimal digits.
std::string Hex(std::uint32_t value, int digits);

}  // namespace sim
