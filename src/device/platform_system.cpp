#include "device/platform_system.h"

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#endif

namespace selvarex::platform {

#ifdef _WIN32

bool PlayErrorSound() { return MessageBeep(MB_ICONHAND) != 0; }

std::string Utf8FromSystemText(const std::string& text) {
  if (text.empty()) return text;
  const int size = static_cast<int>(text.size());
  const int wideLength = MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(wideLength), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), size, wide.data(), wideLength);
  const int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, utf8.data(), length, nullptr, nullptr);
  return utf8;
}

#else

bool PlayErrorSound() { return false; }

// Elsewhere the locale's text is UTF-8 already.
std::string Utf8FromSystemText(const std::string& text) { return text; }

#endif

}  // namespace selvarex::platform
