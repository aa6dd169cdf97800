#include "device/library_text.h"

#include <cstring>

#include "device/platform_loader.h"

namespace selvarex {

std::string TextFromBuffer(const char* buffer, std::size_t size) {
  const void* nul = std::memchr(buffer, '\0', size);
  const std::size_t length = nul ? static_cast<const char*>(nul) - buffer : size;
  return platform::Utf8FromSystemText(std::string(buffer, length));
}

}  // namespace selvarex
