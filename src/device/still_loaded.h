// A message pump lets clicks the operator queued run, and one of them may
// have unloaded the library: every library call after a pump first makes
// sure the library is still there.
#pragma once

#include "device/dravolin_library.h"

namespace selvarex {

// Throws Exception when the library is no longer loaded.
void RequireStillLoaded(const DravolinLibrary& library);

}  // namespace selvarex
