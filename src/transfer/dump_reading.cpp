#include "transfer/dump_reading.h"

#include <vector>

#include "device/errors.h"
#include "device/still_loaded.h"
#include "transfer/block_geometry.h"
#include "transfer/file_names.h"
#include "transfer/image_file.h"
#include "transfer/library_loss.h"
#include "transfer/log_texts.h"
#include "transfer/operator_stop.h"
#include "transfer/required_entries.h"

namespace selvarex {

namespace {

constexpr std::string_view kStartText = "START DUMP READING PROCESS: ";
constexpr std::string_view kWhat = "NAND Dump reading";
constexpr std::string_view kEndText = "END DUMP READING PROCESS: ";

using std::to_string;

// A short image must never pass for a dump: the run stops at the first block
// the disk did not take.
[[noreturn]] void ImageWriteFailed(OperationLog& log, const std::string& prefix,
                                   const std::string& fileName, std::int64_t position) {
  log.Entry(prefix + "File Write Error occured at position: " + to_string(position) + " (dec)");
  throw Exception("Cannot write file " + ShownFileName(fileName) + " at position " + to_string(position) +
                  " (dec): the NAND dump is incomplete.");
}

}  // namespace

ProcessResult RunDumpReading(const TransferTarget& target, const DumpReadingParams& params,
                             ProcessHost& host, const LogSettings& settings) {
  // The parameter dialog pumped messages.
  RequireStillLoaded(target.library);
  RequireEntries(target.library, {drav::Entry::DravFlashRead});

  OperationLog log(settings.path, *settings.clock);
  log.Open(kStartText);
  SectionEndOnLibraryLoss section(log, kEndText);
  return section.Run([&]() -> ProcessResult {
    const nand::BlockRange range = nand::RangeFor(params.address, params.byteCount);
    host.SetProgressRange(range.planned);
    ImageWriter image(params.fileName);
    // Where the library can work without a copy of the block.
    std::uint8_t* const block = target.library.TransferBuffer(nand::kBlockSize);

    std::uint32_t badBlocks = 0;
    host.RunStarts(range.end - range.first, RunUnit::Bytes);
    for (std::uint32_t index = range.first; index < range.end; ++index) {
      const log_text::Cycle cycle{"Read", index, range.planned};
      section.At(cycle);
      const std::uint32_t address = nand::BlockAddress(index);
      if (target.library.Api().DravFlashRead(target.flash, address, block, nand::kBlockSize) == 0) {
        log.Entry(log_text::ReadError(cycle, address));
        target.library.RaiseLastDravolinError();
      }
      // Bad blocks go into the image too: it records which blocks were bad.
      if (!nand::IsGoodBlock(index, block[nand::kMarkerOffset])) {
        ++badBlocks;
        log.Entry(log_text::BadBlock(cycle, badBlocks, address));
      }
      const std::int64_t position = image.Position();
      if (!image.Append(block, nand::kBlockSize))
        ImageWriteFailed(log, cycle.Prefix() + ", ", params.fileName, position);
      if (BlockDoneAndStopped(target, host, log, cycle, kEndText))
        return StoppedResult(kWhat, index - range.first + 1, range.end - range.first, "block");
    }
    if (!image.Close()) ImageWriteFailed(log, "", params.fileName, image.Position());

    log.End(log_text::Summary(target.selectedFlash, " NAND dump saved on file: " + ShownFileName(params.fileName)),
            kEndText);
    return ProcessResult{false, "NAND Dump has been created!\n\n" + to_string(badBlocks) +
                                    " bad block/s has been found.\n\nCheck the log for the details."};
  });
}

}  // namespace selvarex
