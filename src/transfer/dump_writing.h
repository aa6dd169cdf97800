// Dump writing: an image file back into the chip, block by block, skipping
// blocks that are bad in the chip or in the image.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "device/dravolin_api.h"
#include "transfer/operation_log.h"
#include "transfer/process_host.h"
#include "transfer/transfer_target.h"

namespace selvarex {

struct DumpWritingParams {
  std::int32_t address;  // rounded down to its block
  std::int32_t byteCount;
  std::string fileName;  // UTF-8; read at the offsets of the NAND addresses written
  bool verify;           // the window's write-verify check box
};

// The entry points the run calls.
[[maybe_unused]] constexpr std::array kDumpWritingEntries{drav::Entry::DravFlashSetWVerify, drav::Entry::DravFlashRead,
                                                          drav::Entry::DravFlashWrite};

// Failed block writes are counted and logged. Throws when write verify cannot
// be set (library error), when the image cannot be opened (EFOpenError) and
// when the image ends before a block of the range (Exception).
ProcessResult RunDumpWriting(const TransferTarget& target, const DumpWritingParams& params, ProcessHost& host,
                             const LogSettings& settings);

}  // namespace selvarex
