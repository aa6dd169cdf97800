// The "info" command's output: the information and flash panels' values.
#pragma once

#include <string>

#include "cli/cli_session.h"

namespace selvarex::cli {

// One "caption value" line per label, as the panels show them, and the
// selected flash between the two panels.
std::string InfoLines(const Session& session, std::uint32_t flash);
// The same values as one JSON object (and a line end).
std::string InfoJson(const Session& session, std::uint32_t flash);

}  // namespace selvarex::cli
