// The end of every block: the window gets its turn, and the operator may
// have asked to stop (with the run's Stop, Esc, or by closing the window).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "transfer/log_texts.h"
#include "transfer/operation_log.h"
#include "transfer/process_host.h"
#include "transfer/transfer_target.h"

namespace selvarex {

// Hands the finished block to the window. True when the operator asked to
// stop; the log then holds the stop entry and the end frame, no summary.
// Throws when the window's turn unloaded the library.
bool BlockDoneAndStopped(const TransferTarget& target, ProcessHost& host, OperationLog& log,
                         const log_text::Cycle& cycle, std::string_view endText);

// The same after the window has had its turn: for a process that lets the
// window work while the disk still finishes the block.
bool StoppedAfterBlock(const TransferTarget& target, ProcessHost& host, OperationLog& log, const log_text::Cycle& cycle,
                       std::string_view endText);

// The closing message of a stopped run: what stopped, and how many of its
// cycles were done ("NAND Dump reading has been stopped!", "12 of 40 block/s
// done.").
ProcessResult StoppedResult(std::string_view what, std::uint32_t done, std::uint32_t cycles, std::string_view unit);

}  // namespace selvarex
