// Runs one command of the command line on the core: the window's processes,
// device commands and counter, with their texts on standard output.
#pragma once

#include <cstdio>

#include "cli/cli_options.h"

namespace selvarex::cli {

// Loads, connects, runs the command, closes; returns the exit code.
int RunCommandLine(const Options& options, std::FILE* out = stdout, std::FILE* err = stderr);

}  // namespace selvarex::cli
