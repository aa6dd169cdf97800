// Texts the library writes into caller buffers.
#pragma once

#include <cstddef>
#include <string>

namespace selvarex {

// The text up to the first NUL, and never past the end of the buffer: a
// library that fills the buffer without a terminator gets its text cut there.
// The library writes the system's 8-bit text; the result is UTF-8.
std::string TextFromBuffer(const char* buffer, std::size_t size);

}  // namespace selvarex
