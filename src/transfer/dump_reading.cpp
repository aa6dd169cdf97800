#include "transfer/dump_reading.h"

#include <exception>
#include <memory>
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
    // disk writes the one before from the other. In process they are ours,
    // and the library fills them itself. In its host the library fills the
    // shared transfer buffer, two blocks of it, and the disk writes from
    // there: the block is not copied (into any other buffer the channel would
    // copy it both ways). Held here, that memory stays mapped even if the
    // window's turn unloads the library while a write is under way.
    const std::shared_ptr<std::uint8_t> shared = target.library.HostTransferBuffer(2 * nand::kBlockSize);
    std::vector<std::uint8_t> own[2];
    std::uint8_t* buffers[2] = {};
    for (int i = 0; i < 2; ++i) {
      if (!shared) own[i].resize(nand::kBlockSize);
      buffers[i] = shared ? shared.get() + i * nand::kBlockSize : own[i].data();
    }
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
      std::uint8_t* const block = buffers[index % 2];
      // The library's error is asked for right after the failing call, and
      // raised once the block before is known to be on the disk.
      std::exception_ptr error;
      bool failed = false;
      try {
        if (target.library.Api().DravFlashRead(target.flash, address, block, nand::kBlockSize) == 0) {
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
