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

#else

bool PlayErrorSound() { return false; }

#endif

}  // namespace selvarex::platform
