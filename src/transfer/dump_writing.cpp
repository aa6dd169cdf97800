#include "transfer/dump_writing.h"

#include <algorithm>
#include <vector>

#include "device/errors.h"
#include "transfer/block_geometry.h"
#include "transfer/chip_checks.h"
#include "transfer/file_names.h"
#include "transfer/file_worker.h"
#include "transfer/image_file.h"
#include "transfer/log_texts.h"
#include "transfer/operator_stop.h"
#include "transfer/process_opening.h"

namespace selvarex {

namespace {

constexpr std::string_view kStartText = "START DUMP WRITING PROCESS: ";
constexpr std::string_view kWhat = "NAND Dump writing";
constexpr std::string_view kEndText = "END DUMP WRITING PROCESS: ";

using std::to_string;

struct Counts {
  std::uint32_t written = 0;
  std::uint32_t nandBad = 0;
  std::uint32_t fileBad = 0;
  std::uint32_t writeErrors = 0;
};

// Bytes the image did not supply are never written: the run stops at the
// first block the image cannot fill.
[[noreturn]] void ImageEnded(OperationLog& log, const log_text::Cycle& cycle, const std::string& fileName,
                             std::int64_t position, std::uint32_t address, const Counts& counts) {
  log.Entry(log_text::ImageEnded(cycle, position, "writing"));
  throw Exception(
      "Image file " + ShownFileName(fileName) + " ended at position " + to_string(position) + " (dec): NAND address " +
      to_string(address) + " (dec) and the blocks after it have not been written.\n\n" + to_string(counts.written) +
      " block/s written, " + to_string(counts.nandBad) + " NAND bad block/s skipped, " + to_string(counts.fileBad) +
      " File Dump bad block/s skipped, " + to_string(counts.writeErrors) + " NAND Write Error/s.");
}

}  // namespace

ProcessResult RunDumpWriting(const TransferTarget& target, const DumpWritingParams& params, ProcessHost& host,
                             const LogSettings& settings) {
  RequireRunnable(target, kDumpWritingEntries);
  return RunInLogSection(settings, kStartText, kEndText, [&](auto& log, auto& section) -> ProcessResult {
    SetWriteVerify(target, params.verify, log);

    const nand::BlockRange range = nand::RangeFor(params.address, params.byteCount);
    host.SetProgressRange(range.planned);
    ImageReader image(params.fileName);
    // Two buffers in turn: the disk reads the next block into one while the
    // programmer writes this one from the other, with no copy between. They
    // are the process's own, not the library's transfer buffer: the window's
    // turn may unload the library while a read is under way.
    std::vector<std::uint8_t> buffers[2] = {std::vector<std::uint8_t>(nand::kBlockSize),
                                            std::vector<std::uint8_t>(nand::kBlockSize)};
    auto bufferOf = [&buffers](std::uint32_t index) { return buffers[index % 2].data(); };
    std::uint32_t fetched = 0;
    FileWorker disk;  // after what its jobs use, so it waits for them first
    // Reading ahead only fills a buffer: what the bytes are for is still
    // decided block by block, in order, before any of them is written.
    auto fetch = [&](std::uint32_t index) {
      const std::int64_t offset = nand::BlockAddress(index);
      std::uint8_t* const into = bufferOf(index);
      disk.Start([&image, &fetched, into, offset] { fetched = image.ReadAt(offset, into, nand::kBlockSize); });
    };
    if (range.first < range.end) fetch(range.first);

    Counts counts;
    host.RunStarts(range.end - range.first, RunUnit::Bytes);
    for (std::uint32_t index = range.first; index < range.end; ++index) {
      const log_text::Cycle cycle{"Write", index, range.planned};
      section.At(cycle);
      const std::uint32_t address = nand::BlockAddress(index);
      const std::optional<std::uint8_t> marker = ReadChipMarker(target, address);
      if (!marker.has_value()) log.Entry(log_text::MarkerReadError(cycle, address));
      disk.Collect();
      const std::uint32_t got = fetched;
      const std::uint8_t* const block = bufferOf(index);
      const bool usable = ChipBlockUsable(index, marker);
      if (index + 1 < range.end) fetch(index + 1);

      if (!usable) {
        // The cycle writes nothing: every block only ever gets its own image bytes.
        ++counts.nandBad;
        log.Entry(log_text::BadBlock(cycle, counts.nandBad, address));
      } else {
        // The image is addressed with the NAND's own byte addresses.
        const std::int64_t offset = address;
        if (got < nand::kBlockSize)
          ImageEnded(log, cycle, params.fileName, std::min(image.Size(), offset + got), address, counts);

        if (nand::IsGoodBlock(index, block[nand::kMarkerOffset])) {
          if (target.library.Api().DravFlashWrite(target.flash, address, block, nand::kBlockSize) != 0) {
            ++counts.written;
          } else {
            ++counts.writeErrors;
            log.Entry(cycle.Prefix() + ", Flash Write Error #" + to_string(counts.writeErrors) +
                      " occured at Address: " + to_string(address) + " (dec)");
          }
        } else {
          // Bad in the image: skipped, see docs/formats.md, "Bad blocks".
          ++counts.fileBad;
          log.Entry(log_text::FileBadBlock(cycle, counts.fileBad, offset));
        }
      }
      if (BlockDoneAndStopped(target, host, log, cycle, kEndText))
        return StoppedResult(kWhat, index - range.first + 1, range.end - range.first, "block");
    }

    log.End(log_text::Summary(target.selectedFlash, " NAND dump restored from file: " + ShownFileName(params.fileName)),
            kEndText);
    return ProcessResult{false, "NAND Dump has been restored!\n\n" + to_string(counts.nandBad) +
                                    " NAND bad block/s has been skipped.\n" + to_string(counts.fileBad) +
                                    " File Dump bad block/s has been skipped.\n" + to_string(counts.writeErrors) +
                                    " NAND Write Error/s has occured.\n\nCheck the log for the details."};
  });
}

}  // namespace selvarex
