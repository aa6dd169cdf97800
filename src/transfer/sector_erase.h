// Sector erase: a run of blocks, skipping those the chip marks as bad.
#pragma once

#include <array>
#include <cstdint>

#include "device/dravolin_api.h"
#include "transfer/operation_log.h"
#include "transfer/process_host.h"
#include "transfer/transfer_target.h"

namespace selvarex {

struct SectorEraseParams {
  std::int32_t address;   // its block is the first one erased
  std::int32_t endBlock;  // erasing stops before this block: an index, not a count
  bool verify;            // the window's write-verify check box
};

// The entry points the run calls.
[[maybe_unused]] constexpr std::array kSectorEraseEntries{drav::Entry::DravFlashSetWVerify, drav::Entry::DravFlashRead,
                                                          drav::Entry::DravFlashEraseSector};

// The window sets the progress range (0 to 1024) itself, before the dialog.
// Failed erases are counted and logged; a failed write-verify setting raises.
ProcessResult RunSectorErase(const TransferTarget& target, const SectorEraseParams& params, ProcessHost& host,
                             const LogSettings& settings);

}  // namespace selvarex
