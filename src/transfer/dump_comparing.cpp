#include "transfer/dump_comparing.h"

#include <algorithm>
#include <vector>

#include "device/errors.h"
#include "transfer/block_geometry.h"
#include "transfer/file_names.h"
#include "transfer/image_file.h"
#include "transfer/log_texts.h"
#include "transfer/operator_stop.h"
#include "transfer/process_opening.h"

namespace selvarex {

namespace {

constexpr std::string_view kStartText = "START DUMP COMPARING PROCESS: ";
constexpr std::string_view kWhat = "NAND Dump comparing";
constexpr std::string_view kEndText = "END DUMP COMPARING PROCESS: ";

using std::to_string;

struct Counts {
  std::uint32_t compared = 0;
  std::uint32_t nandBad = 0;
  std::uint32_t fileBad = 0;
};

std::string Totals(std::size_t differing, const Counts& counts) {
  return to_string(differing) + " block/s differ.\n" + to_string(counts.compared) + " block/s compared.\n" +
         to_string(counts.nandBad) + " NAND bad block/s has been skipped.\n" + to_string(counts.fileBad) +
         " File Dump bad block/s has been skipped.";
}

// A block the image cannot fill cannot be compared: the run stops there.
[[noreturn]] void ImageEnded(OperationLog& log, const log_text::Cycle& cycle, const std::string& fileName,
                             std::int64_t position, std::uint32_t address, std::size_t differing,
                             const Counts& counts) {
  log.Entry(log_text::ImageEnded(cycle, position, "comparing"));
  throw Exception("Image file " + ShownFileName(fileName) + " ended at position " + to_string(position) +
                  " (dec): NAND address " + to_string(address) +
                  " (dec) and the blocks after it have not been compared.\n\n" + Totals(differing, counts));
}

}  // namespace

DumpComparingResult RunDumpComparing(const TransferTarget& target, const DumpComparingParams& params, ProcessHost& host,
                                     const LogSettings& settings) {
  RequireRunnable(target, kDumpComparingEntries);
  DumpComparingResult result;
  Counts counts;
  result.process = RunInLogSection(settings, kStartText, kEndText, [&](auto& log, auto& section) -> ProcessResult {
    const nand::BlockRange range = nand::RangeFor(params.address, params.byteCount);
    host.SetProgressRange(range.planned);
    ImageReader image(params.fileName);
    std::uint8_t* const chip = target.library.TransferBuffer(nand::kBlockSize);
    std::vector<std::uint8_t> file(nand::kBlockSize);

    host.RunStarts(range.end - range.first, RunUnit::Bytes);
    for (std::uint32_t index = range.first; index < range.end; ++index) {
      const log_text::Cycle cycle{"Compare", index, range.planned};
      section.At(cycle);
      const std::uint32_t address = nand::BlockAddress(index);
      if (target.library.Api().DravFlashRead(target.flash, address, chip, nand::kBlockSize) == 0) {
        log.Entry(log_text::ReadError(cycle, address));
        target.library.RaiseLastDravolinError();
      }
      if (!nand::IsGoodBlock(index, chip[nand::kMarkerOffset])) {
        // Writing never touches it: nothing there to compare.
        ++counts.nandBad;
        log.Entry(log_text::BadBlock(cycle, counts.nandBad, address));
      } else {
        const std::int64_t offset = address;
        const std::uint32_t got = image.ReadAt(offset, file.data(), nand::kBlockSize);
        if (got < nand::kBlockSize)
          ImageEnded(log, cycle, params.fileName, std::min(image.Size(), offset + got), address,
                     result.differences.size(), counts);
        if (!nand::IsGoodBlock(index, file[nand::kMarkerOffset])) {
          // Writing skips it, so the chip never got these bytes.
          ++counts.fileBad;
          log.Entry(log_text::FileBadBlock(cycle, counts.fileBad, offset));
        } else {
          ++counts.compared;
          if (const auto difference = DifferenceOf(index, chip, file.data())) {
            result.differences.push_back(*difference);
            log.Entry(log_text::Difference(cycle, "Difference", static_cast<std::uint32_t>(result.differences.size()),
                                           address, difference->firstAddress, difference->differingBytes));
          }
        }
      }
      if (BlockDoneAndStopped(target, host, log, cycle, kEndText))
        return StoppedResult(kWhat, index - range.first + 1, range.end - range.first, "block");
    }

    log.End(
        log_text::Summary(target.selectedFlash, " NAND dump compared with file: " + ShownFileName(params.fileName) +
                                                    ", " + to_string(result.differences.size()) + " block/s differ."),
        kEndText);
    return ProcessResult{false, "NAND Dump has been compared!\n\n" + Totals(result.differences.size(), counts) +
                                    "\n\nCheck the log for the details."};
  });
  result.compared = counts.compared;
  return result;
}

}  // namespace selvarex
