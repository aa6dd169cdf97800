// A run whose library went away with its host process ends its log section
// like a run the operator stopped: an entry that says what happened, then the
// end frame, so the log shows where the run broke off.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "device/errors.h"
#include "transfer/log_texts.h"
#include "transfer/operation_log.h"
#include "transfer/transfer_target.h"

namespace selvarex {

class SectionEndOnLibraryLoss {
 public:
  SectionEndOnLibraryLoss(OperationLog& log, std::string_view endText) : log_(log), endText_(endText) {}

  // The cycle the run is in; the entry names it.
  void At(const log_text::Cycle& cycle) { cycle_ = cycle; }

  // Runs the body; when the library's host stops during it, ends the section
  // and lets the error go on to the operator.
  template <typename Body>
  ProcessResult Run(Body&& body) {
    try {
      return body();
    } catch (const ELibraryHostStopped& stopped) {
      log_.Entry((cycle_ ? cycle_->Prefix() + ", " : std::string()) + stopped.what());
      log_.EndWithoutSummary(endText_);
      throw;
    }
  }

 private:
  OperationLog& log_;
  std::string_view endText_;
  std::optional<log_text::Cycle> cycle_;
};

}  // namespace selvarex
