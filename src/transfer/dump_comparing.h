// Dump comparing: a range of the chip read block by block and compared with
// an image file, the verify step after a write. The image is addressed as the
// writing process addresses it (the bytes for NAND address A at file offset
// A), and blocks the writing process skips are skipped here too: blocks bad
// in the chip, and blocks bad in the image.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "device/dravolin_api.h"
#include "transfer/block_difference.h"
#include "transfer/operation_log.h"
#include "transfer/process_host.h"
#include "transfer/transfer_target.h"

namespace selvarex {

struct DumpComparingParams {
  std::int32_t address;  // rounded down to its block
  std::int32_t byteCount;
  std::string fileName;  // UTF-8
};

struct DumpComparingResult {
  ProcessResult process;
  std::vector<BlockDifference> differences;  // every block that differs, in order
  std::uint32_t compared = 0;                // blocks compared
};

// The entry points the run calls.
[[maybe_unused]] constexpr std::array kDumpComparingEntries{drav::Entry::DravFlashRead};

// Throws on a failed block read (library error), when the image cannot be
// opened (EFOpenError) and when it ends before a block of the range.
DumpComparingResult RunDumpComparing(const TransferTarget& target, const DumpComparingParams& params, ProcessHost& host,
                                     const LogSettings& settings);

}  // namespace selvarex
