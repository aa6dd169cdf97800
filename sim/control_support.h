// Helpers of the control interface.
#pragma once

#include <cstdint>
#include <optional>

#include "device/dravolin_api.h"
#include "sim_model.h"

namespace sim {

// The entry point with that export name; none for null or an unknown name.
std::optional<drav::Entry> EntryByName(const char* name);

// The chip with that number; null outside 0 and 1.
NandChip* ChipAt(SimModel& model, std::uint32_t chip);

}  // namespace sim
