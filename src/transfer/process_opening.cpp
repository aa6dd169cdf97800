#include "transfer/process_opening.h"

#include "device/still_loaded.h"
#include "transfer/required_entries.h"

namespace selvarex {

void RequireRunnable(const TransferTarget& target, std::span<const drav::Entry> entries) {
  RequireStillLoaded(target.library);
  RequireEntries(target.library, entries);
}

}  // namespace selvarex
