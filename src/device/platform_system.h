// What the program needs of the operating system besides loading libraries:
// its error sound, and the 8-bit text the device library hands out. With
// platform_loader.cpp the only place that knows the operating system.
#pragma once

#include <string>

namespace selvarex::platform {

// The system's error sound (Windows: the MB_ICONHAND sound). False where the
// system offers none; the window then uses its toolkit's beep.
bool PlayErrorSound();

// Text in the system's 8-bit code page (what the device library and the
// system's own messages give) as the UTF-8 the program carries.
std::string Utf8FromSystemText(const std::string& text);

}  // namespace selvarex::platform
