// Dump reading: a range of the chip, block by block, into a new image file.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "device/dravolin_api.h"
#include "transfer/operation_log.h"
#include "transfer/process_host.h"
#include "transfer/transfer_target.h"

namespace selvarex {

struct DumpReadingParams {
  std::int32_t address;  // rounded down to its block
  std::int32_t byteCount;
  std::string fileName;  // UTF-8; created, or emptied when it exists
};

// The log section's frame and the name a stop message gives the run; a
// reading in several passes is one dump reading to the log.
namespace dump_reading_log {
inline constexpr std::string_view kStartText = "START DUMP READING PROCESS: ";
inline constexpr std::string_view kWhat = "NAND Dump reading";
inline constexpr std::string_view kEndText = "END DUMP READING PROCESS: ";
}  // namespace dump_reading_log

// The entry points the run calls.
[[maybe_unused]] constexpr std::array kDumpReadingEntries{drav::Entry::DravFlashRead};

// Throws on a failed block read (library error), when the image cannot be
// created (EFCreateError) or written (Exception naming the file).
ProcessResult RunDumpReading(const TransferTarget& target, const DumpReadingParams& params, ProcessHost& host,
                             const LogSettings& settings);

}  // namespace selvarex
