// The end of every block: the window gets its turn, and the operator may
// have asked to stop (by closing the window).
#pragma once

#include <string_view>

#include "transfer/log_texts.h"
#include "transfer/operation_log.h"
#include "transfer/process_host.h"

namespace selvarex {

// Hands the finished block to the window. True when the operator asked to
// stop; the log then holds the stop entry and the end frame, no summary.
bool BlockDoneAndStopped(ProcessHost& host, OperationLog& log, const log_text::Cycle& cycle,
                         std::string_view endText);

}  // namespace selvarex
