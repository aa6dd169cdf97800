// The writing process fed an arbitrary image: the chip, the range and the
// image file (its length, bad blocks and content) all come from the input
// bytes; the run goes against the simulated programmer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "support/connected_sim.h"

namespace selvarex::fuzz {

// Runs one case on a session connected with flash 0 selected. "" when the
// run did exactly what the image allows, else what went wrong: a block
// written that the image did not supply in full, a chip that differs from
// the expected one, counts or a log that do not match.
std::string CheckDumpWriting(test::SimSession& session, const std::uint8_t* data, std::size_t size);

}  // namespace selvarex::fuzz
