#include "text_output.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace sim {

void WriteText(char* buffer, std::uint32_t size, std::string_view text, bool withoutNul) {
  if (!withoutNul || text.empty()) {
    const std::size_t length = std::min<std::size_t>(text.size(), size - 1);
    std::memcpy(buffer, text.data(), length);
    buffer[length] = '\0';
    return;
  }
  for (std::uint32_t i = 0; i < size; ++i) buffer[i] = text[i % text.size()];
}

std::string Hex(std::uint32_t value, int digits) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%0*X", digits, static_cast<unsigned>(value));
  return text;
}

}  // namespace sim
