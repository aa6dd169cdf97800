// The entry points a process calls beyond the one its command's enable rule
// tests: the process must never call through a missing one.
#pragma once

#include <span>

#include "device/dravolin_library.h"

namespace selvarex {

// Throws Exception naming the first missing entry point. Each process exports
// the list it needs beside its Run function.
void RequireEntries(const DravolinLibrary& library, std::span<const drav::Entry> entries);

}  // namespace selvarex
