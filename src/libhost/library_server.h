// The host's side of the protocol: reads each request, checks it against the
// entry's signature, calls the library on this one thread and answers.
#pragma once

#include "device/dravolin_api.h"
#include "device/platform_process.h"

namespace selvarex {

class DravolinLibrary;

// Serves until the program closes the channel (returns 0) or sends what the
// protocol does not allow (refuses it, returns kProtocolRefused). Load and
// free requests go to library, calls through its entry table; without a
// library, calls go through table and load and free are refused.
constexpr int kProtocolRefused = 3;
int ServeLibrary(platform::Channel& channel, DravolinLibrary* library, const drav::EntryTable* table = nullptr);

}  // namespace selvarex
