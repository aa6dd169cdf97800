#include "transfer/multi_pass_reading.h"

#include <algorithm>
#include <filesystem>

#include "device/errors.h"
#include "transfer/block_geometry.h"
#include "transfer/file_names.h"
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

// The first pass's file goes on every way out but one: becoming the image.
class FirstPassFile {
 public:
  explicit FirstPassFile(std::string name) : name_(std::move(name)) {}
  ~FirstPassFile() {
    std::error_code ignored;
    if (!kept_) std::filesystem::remove(PathFromUtf8(name_), ignored);
  }
  FirstPassFile(const FirstPassFile&) = delete;
  FirstPassFile& operator=(const FirstPassFile&) = delete;

  const std::string& Name() const { return name_; }
  // Renames it to the image's name; false when the system refuses.
  bool BecomeImage(const std::string& imageName) {
    std::error_code error;
    std::filesystem::rename(PathFromUtf8(name_), PathFromUtf8(imageName), error);
    kept_ = !error;
    return kept_;
  }

 private:
  std::string name_;
  bool kept_ = false;
};

}  // namespace

MultiPassReadingResult RunMultiPassReading(const TransferTarget& target, const MultiPassReadingParams& params,
                                           ProcessHost& host, const LogSettings& settings) {
  RequireRunnable(target, kMultiPassReadingEntries);
  const DumpReadingParams& reading = params.reading;
  const std::uint32_t passes = std::max<std::uint32_t>(params.passes, 1);

  MultiPassReadingResult result;
  result.process = RunInLogSection(settings, kStartText, kEndText, [&](auto& log, auto& section) -> ProcessResult {
    const nand::BlockRange range = nand::RangeFor(reading.address, reading.byteCount);
    const std::uint32_t blocks = range.end - range.first;
    const auto cycles = static_cast<std::uint32_t>(std::min<std::uint64_t>(std::uint64_t{blocks} * passes, UINT32_MAX));
    host.SetProgressRange(
        static_cast<std::uint32_t>(std::min<std::uint64_t>(std::uint64_t{range.planned} * passes, UINT32_MAX)));
    FirstPassFile firstPass(reading.fileName + kFirstPassSuffix);
    std::uint8_t* const block = target.library.TransferBuffer(nand::kBlockSize);
    std::vector<std::uint8_t> first(nand::kBlockSize);
    std::uint32_t badBlocks = 0;
    std::uint32_t done = 0;
    host.RunStarts(cycles, RunUnit::Bytes);

    // A failed read ends the run, as in the dump reading.
    auto readBlock = [&](const log_text::Cycle& cycle, std::uint32_t address) {
      section.At(cycle);
      if (target.library.Api().DravFlashRead(target.flash, address, block, nand::kBlockSize) == 0) {
        log.Entry(log_text::ReadError(cycle, address));
        target.library.RaiseLastDravolinError();
      }
    };

    {
      ImageWriter image(firstPass.Name());
      for (std::uint32_t index = range.first; index < range.end; ++index) {
        const log_text::Cycle cycle{"Read", index, range.planned};
        const std::uint32_t address = nand::BlockAddress(index);
        readBlock(cycle, address);
        if (!nand::IsGoodBlock(index, block[nand::kMarkerOffset])) {
          ++badBlocks;
          log.Entry(log_text::BadBlock(cycle, badBlocks, address));
        }
        const std::int64_t position = image.Position();
        if (!image.Append(block, nand::kBlockSize))
          ImageWriteFailed(log, cycle.Prefix() + ", ", firstPass.Name(), position);
        ++done;
        if (BlockDoneAndStopped(target, host, log, cycle, kEndText)) return StoppedResult(kWhat, done, cycles, "block");
      }
      if (!image.Close()) ImageWriteFailed(log, "", firstPass.Name(), image.Position());
    }

    // The first pass's file is closed before it may become the image: Windows
    // renames no file that is still open.
    {
      ImageReader image(firstPass.Name());
      for (std::uint32_t pass = 2; pass <= passes; ++pass) {
        const std::string what = "Pass " + to_string(pass) + " Difference";
        for (std::uint32_t index = range.first; index < range.end; ++index) {
          const log_text::Cycle cycle{"Read", index, range.planned};
          const std::uint32_t address = nand::BlockAddress(index);
          readBlock(cycle, address);
          // The first pass wrote the block where the dump reading puts it: the range's first block at 0.
          const std::int64_t offset = std::int64_t{index - range.first} * nand::kBlockSize;
          if (image.ReadAt(offset, first.data(), nand::kBlockSize) < nand::kBlockSize)
            throw Exception("Cannot read file " + ShownFileName(firstPass.Name()) + " at position " +
                            to_string(offset) + " (dec).");
          if (const auto difference = DifferenceOf(index, block, first.data())) {
            result.differences.push_back(*difference);
            if (std::find(result.unstableBlocks.begin(), result.unstableBlocks.end(), index) ==
                result.unstableBlocks.end())
              result.unstableBlocks.push_back(index);
            log.Entry(log_text::Difference(cycle, what, static_cast<std::uint32_t>(result.differences.size()), address,
                                           difference->firstAddress, difference->differingBytes));
          }
          ++done;
          if (BlockDoneAndStopped(target, host, log, cycle, kEndText))
            return StoppedResult(kWhat, done, cycles, "block");
        }
      }
    }

    const std::string shown = ShownFileName(reading.fileName);
    if (!result.unstableBlocks.empty()) {
      const std::string unstable =
          to_string(result.unstableBlocks.size()) + " block/s differed between " + to_string(passes) + " read passes";
      log.End(log_text::Summary(target.selectedFlash, " NAND dump not saved on file: " + shown + ", " + unstable + "."),
              kEndText);
      return ProcessResult{false, "NAND Dump has not been created!\n\n" + unstable + ".\n" + to_string(badBlocks) +
                                      " bad block/s has been found.\n\nCheck the log for the details."};
    }
    if (!firstPass.BecomeImage(reading.fileName)) {
      log.Entry("Cannot rename file " + ShownFileName(firstPass.Name()) + " to " + shown);
      throw EFCreateError(shown);
    }
    result.saved = true;
    log.End(log_text::Summary(target.selectedFlash,
                              " NAND dump saved on file: " + shown + ", " + to_string(passes) + " read passes agreed."),
            kEndText);
    return ProcessResult{false, "NAND Dump has been created!\n\n" + to_string(badBlocks) +
                                    " bad block/s has been found.\n" + to_string(passes) +
                                    " read passes agreed.\n\nCheck the log for the details."};
  });
  return result;
}

}  // namespace selvarex
