// What selvarex-cli's exit code tells a script.
#pragma once

namespace selvarex::cli {

constexpr int kSuccess = 0;
// The operation failed or was stopped, or compare found differences.
constexpr int kFailed = 1;
constexpr int kUsageError = 2;
// The device library or the programmer cannot be had.
constexpr int kUnavailable = 3;

}  // namespace selvarex::cli
