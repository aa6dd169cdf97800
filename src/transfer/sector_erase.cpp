#include "transfer/sector_erase.h"

#include "device/errors.h"
#include "transfer/block_geometry.h"
#include "transfer/chip_checks.h"
#include "transfer/log_texts.h"
#include "transfer/operator_stop.h"
#include "transfer/process_opening.h"

namespace selvarex {

namespace {

constexpr std::string_view kStartText = "START ERASE SECTORS PROCESS: ";
constexpr std::string_view kWhat = "Sector erase";
constexpr std::string_view kEndText = "END ERASE SECTORS PROCESS: ";

using std::to_string;

}  // namespace

ProcessResult RunSectorErase(const TransferTarget& target, const SectorEraseParams& params, ProcessHost& host,
                             const LogSettings& settings) {
  RequireRunnable(target, kSectorEraseEntries);
  // Addresses of later blocks would wrap around 32 bits onto the chip's start.
  if (params.endBlock < 0 || static_cast<std::uint32_t>(params.endBlock) > nand::kMaxEndBlock)
    throw Exception("End block " + to_string(params.endBlock) + " is outside 0 to " + to_string(nand::kMaxEndBlock) +
                    ". Nothing has been erased.");

  return RunInLogSection(settings, kStartText, kEndText, [&](auto& log, auto& section) -> ProcessResult {
    SetWriteVerify(target, params.verify, log);

    const std::uint32_t first = static_cast<std::uint32_t>(params.address) / nand::kBlockSize;
    const auto end = static_cast<std::uint32_t>(params.endBlock);
    std::uint32_t badBlocks = 0;
    std::uint32_t eraseErrors = 0;
    std::uint32_t erased = 0;
    host.RunStarts(end > first ? end - first : 0, RunUnit::Blocks);
    for (std::uint32_t index = first; index < end; ++index) {
      // The log's total is the end block as typed.
      const log_text::Cycle cycle{"Erase", index, end};
      section.At(cycle);
      const std::uint32_t address = nand::BlockAddress(index);
      const std::optional<std::uint8_t> marker = ReadChipMarker(target, address);
      if (!marker.has_value()) log.Entry(log_text::MarkerReadError(cycle, address));
      if (ChipBlockUsable(index, marker)) {
        if (target.library.Api().DravFlashEraseSector(target.flash, address) != 0) {
          ++erased;
        } else {
          ++eraseErrors;
          log.Entry(cycle.Prefix() + ", Flash Erase Error #" + to_string(eraseErrors) +
                    " occured at Address: " + to_string(address) + " (dec)");
        }
      } else {
        // Never erased: that would wipe its marker (docs/formats.md, "Bad blocks").
        ++badBlocks;
        log.Entry(log_text::BadBlock(cycle, badBlocks, address));
      }
      if (BlockDoneAndStopped(target, host, log, cycle, kEndText))
        return StoppedResult(kWhat, index - first + 1, end - first, "sector");
    }

    log.End(log_text::Summary(target.selectedFlash, " " + to_string(erased) + " sectors erased, " +
                                                        to_string(badBlocks) + " bad block/s has been skipped."),
            kEndText);
    return ProcessResult{false, to_string(erased) + " Sector/s Erased.\n\n" + to_string(badBlocks) +
                                    " bad block/s has been skipped.\n" + to_string(eraseErrors) +
                                    " NAND Erase Error/s has occured.\n\nCheck the log for the details."};
  });
}

}  // namespace selvarex
