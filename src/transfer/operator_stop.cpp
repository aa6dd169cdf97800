#include "transfer/operator_stop.h"

namespace selvarex {

bool BlockDoneAndStopped(ProcessHost& host, OperationLog& log, const log_text::Cycle& cycle,
                         std::string_view endText) {
  host.BlockDone();
  if (!host.StopRequested()) return false;
  log.Entry(log_text::StoppedByOperator(cycle));
  log.EndWithoutSummary(endText);
  return true;
}

}  // namespace selvarex
