// The entry table of a library that runs in a host process: each reference
// is a function of this program with the entry's own type, which hands the
// call to the host and writes back what the library wrote.
#pragma once

#include <cstdint>

#include "device/dravolin_api.h"

namespace selvarex {

// References for the entries whose bit is set in exports; the others stay
// null, as a library without those exports leaves them.
drav::EntryTable HostEntryTable(std::uint64_t exports);

}  // namespace selvarex
