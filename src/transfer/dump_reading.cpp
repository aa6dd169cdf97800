#include "transfer/dump_reading.h"

#include <cstring>
#include <exception>
#include <optional>
#include <utility>
#include <vector>

#include "transfer/block_geometry.h"
#include "transfer/file_names.h"
#include "transfer/file_worker.h"
#include "transfer/image_file.h"
#include "transfer/image_write_failed.h"
#include "transfer/log_texts.h"
#include "transfer/operator_stop.h"
#include "transfer/process_opening.h"

namespace selvarex {

namespace {

using dump_reading_log::kEndText;
using dump_reading_log::kStartText;
using dump_reading_log::kWhat;

using std::to_string;

}  // namespace

ProcessResult RunDumpReading(const TransferTarget& target, const DumpReadingParams& params, ProcessHost& host,
                             const LogSettings& settings) {
  RequireRunnable(target, kDumpReadingEntries);
  return RunInLogSection(settings, kStartText, kEndText, [&](auto& log, auto& section) -> ProcessResult {
    const nand::BlockRange range = nand::RangeFor(params.address, params.byteCount);
    host.SetProgressRange(range.planned);
    ImageWriter image(params.fileName);
    // Two buffers in turn: the programmer reads a block into one while the
    // disk writes the one before from the other. They are the process's own,
    // not the library's transfer buffer: the window's turn may unload the
    // library while a write is under way.
    std::vector<std::uint8_t> buffers[2] = {std::vector<std::uint8_t>(nand::kBlockSize),
                                            std::vector<std::uint8_t>(nand::kBlockSize)};
    // In process the library fills our buffer itself. In its host it fills
    // the shared transfer buffer, and the block is copied out once (into any
    // other buffer the channel would copy it both ways).
    std::uint8_t* const shared = target.library.HostTransferBuffer(nand::kBlockSize);
    // The block whose image write is under way.
    std::optional<log_text::Cycle> writing;
    std::int64_t writingAt = 0;
    bool written = false;
    FileWorker disk;  // after what its jobs use, so it waits for them first
    // A failed write is reported at its own block, before anything that
    // happened after it; what was read meanwhile is dropped.
    auto collectWrite = [&] {
      if (!writing) return;
      disk.Collect();
      const log_text::Cycle cycle = *std::exchange(writing, std::nullopt);
      if (!written) ImageWriteFailed(log, cycle.Prefix() + ", ", params.fileName, writingAt);
    };

    std::uint32_t badBlocks = 0;
    host.RunStarts(range.end - range.first, RunUnit::Bytes);
    for (std::uint32_t index = range.first; index < range.end; ++index) {
      const log_text::Cycle cycle{"Read", index, range.planned};
      section.At(cycle);
      const std::uint32_t address = nand::BlockAddress(index);
      std::uint8_t* const block = buffers[index % 2].data();
      std::uint8_t* const readInto = shared != nullptr ? shared : block;
      // The library's error is asked for right after the failing call, and
      // raised once the block before is known to be on the disk.
      std::exception_ptr error;
      bool failed = false;
      try {
        if (target.library.Api().DravFlashRead(target.flash, address, readInto, nand::kBlockSize) == 0) {
          failed = true;
          target.library.RaiseLastDravolinError();
        }
      } catch (...) {
        error = std::current_exception();
      }
      collectWrite();
      if (error) {
        if (failed) log.Entry(log_text::ReadError(cycle, address));
        std::rethrow_exception(error);
      }
      if (readInto != block) std::memcpy(block, readInto, nand::kBlockSize);
      // Bad blocks go into the image too: it records which blocks were bad
      // (docs/formats.md, "Bad blocks").
      if (!nand::IsGoodBlock(index, block[nand::kMarkerOffset])) {
        ++badBlocks;
        log.Entry(log_text::BadBlock(cycle, badBlocks, address));
      }
      writing = cycle;
      writingAt = image.Position();
      disk.Start([&image, &written, block] { written = image.Append(block, nand::kBlockSize); });
      // The window has its turn while the disk writes. A stop or an unload
      // ends the run here, once the write has said how the block ended.
      host.BlockDone();
      if (host.StopRequested() || !target.library.IsOpen()) collectWrite();
      if (StoppedAfterBlock(target, host, log, cycle, kEndText))
        return StoppedResult(kWhat, index - range.first + 1, range.end - range.first, "block");
    }
    collectWrite();
    if (!image.Close()) ImageWriteFailed(log, "", params.fileName, image.Position());

    log.End(log_text::Summary(target.selectedFlash, " NAND dump saved on file: " + ShownFileName(params.fileName)),
            kEndText);
    return ProcessResult{false, "NAND Dump has been created!\n\n" + to_string(badBlocks) +
                                    " bad block/s has been found.\n\nCheck the log for the details."};
  });
}

}  // namespace selvarex
