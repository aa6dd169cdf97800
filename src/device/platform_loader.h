// The platform's dynamic loader, its error texts and its error sound. With
// platform_process.cpp (processes and pipes), the only place that knows
// which operating system the program runs on.
#pragma once

#include <cstdint>
#include <string>

namespace selvarex::platform {

using ModuleHandle = void*;  // null = none

// The current working directory as a path prefix: ".\" on Windows, "./" elsewhere.
const char* CurrentDirectoryPrefix();

// Null on failure; LastOsError() then tells why.
ModuleHandle OpenLibrary(const std::string& path);
// Null when the module does not export the name.
void* FindSymbol(ModuleHandle module, const char* name);
// False on failure; LastOsError() then tells why.
bool CloseLibrary(ModuleHandle module);

struct OsError {
  std::uint32_t code = 0;
  std::string text;
};
// The error of the last failed call above, with the system's text for it
// (trailing blanks and full stops removed).
OsError LastOsError();

// The system's error sound (Windows: the MB_ICONHAND sound). False where the
// system offers none; the window then uses its toolkit's beep.
bool PlayErrorSound();

// Text in the system's 8-bit code page (what the device library and the
// system's own messages give) as the UTF-8 the program carries.
std::string Utf8FromSystemText(const std::string& text);

}  // namespace selvarex::platform
