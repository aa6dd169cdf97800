// Dump reading in several passes: the range is read again and again, and the
// image is saved only when every pass read the same bytes as the first. An
// unstable read is the classic cause of a bad NAND backup.
//
// The first pass is the dump reading process, written to "<file>.part"; the
// later ones compare the chip with that file. When all agree, the file takes
// the image's name (replacing a file of that name); otherwise it is removed
// and a file of the image's name is left as it was.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "transfer/block_difference.h"
#include "transfer/dump_reading.h"

namespace selvarex {

struct MultiPassReadingParams {
  DumpReadingParams reading;
  std::uint32_t passes;  // 2 or more
};

struct MultiPassReadingResult {
  ProcessResult process;
  bool saved = false;                         // every pass agreed and the image is saved
  std::vector<BlockDifference> differences;   // each block a later pass read otherwise than the first
  std::vector<std::uint32_t> unstableBlocks;  // the blocks among them, each once, in order
};

// The suffix of the first pass's file.
constexpr const char* kFirstPassSuffix = ".part";

// The entry points the run calls.
[[maybe_unused]] constexpr std::array kMultiPassReadingEntries{drav::Entry::DravFlashRead};

// Throws as the dump reading process throws; the first pass's file is gone then.
MultiPassReadingResult RunMultiPassReading(const TransferTarget& target, const MultiPassReadingParams& params,
                                           ProcessHost& host, const LogSettings& settings);

}  // namespace selvarex
