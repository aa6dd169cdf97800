// How every block-wise process opens: the library checked before anything is
// logged, then the run inside its own log section.
#pragma once

#include <span>
#include <string_view>

#include "device/dravolin_api.h"
#include "transfer/library_loss.h"
#include "transfer/operation_log.h"
#include "transfer/transfer_target.h"

namespace selvarex {

// The parameter dialog pumped messages, so the library may be gone; and a
// process must never call through a missing entry point. Throws Exception.
void RequireRunnable(const TransferTarget& target, std::span<const drav::Entry> entries);

// Opens a log section with startText and runs body(log, section) in it; when
// the library's host stops, the section ends with endText.
template <typename Body>
ProcessResult RunInLogSection(const LogSettings& settings, std::string_view startText, std::string_view endText,
                              Body&& body) {
  OperationLog log(settings.path, *settings.clock);
  log.Open(startText);
  SectionEndOnLibraryLoss section(log, endText);
  return section.Run([&]() -> ProcessResult { return body(log, section); });
}

}  // namespace selvarex
