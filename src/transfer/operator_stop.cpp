#include "transfer/operator_stop.h"

#include "device/still_loaded.h"

namespace selvarex {

bool BlockDoneAndStopped(const TransferTarget& target, ProcessHost& host, OperationLog& log,
                         const log_text::Cycle& cycle, std::string_view endText) {
  host.BlockDone();
  return StoppedAfterBlock(target, host, log, cycle, endText);
}

bool StoppedAfterBlock(const TransferTarget& target, ProcessHost& host, OperationLog& log, const log_text::Cycle& cycle,
                       std::string_view endText) {
  if (!host.StopRequested()) {
    RequireStillLoaded(target.library);
    return false;
  }
  log.Entry(log_text::StoppedByOperator(cycle));
  log.EndWithoutSummary(endText);
  return true;
}

ProcessResult StoppedResult(std::string_view what, std::uint32_t done, std::uint32_t cycles, std::string_view unit) {
  return ProcessResult{true, std::string(what) + " has been stopped!\n\n" + std::to_string(done) + " of " +
                                 std::to_string(cycles) + " " + std::string(unit) +
                                 "/s done.\n\nCheck the log for the details."};
}

}  // namespace selvarex
