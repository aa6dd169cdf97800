// The entry points a process calls beyond the one its command's enable rule
// tests: the process must never call through a missing one.
#pragma once

#include <initializer_list>

#include "device/dravolin_library.h"

namespace selvarex {

// Throws Exception naming the first missing entry point.
void RequireEntries(const DravolinLibrary& library, std::initializer_list<drav::Entry> entries);

}  // namespace selvarex
