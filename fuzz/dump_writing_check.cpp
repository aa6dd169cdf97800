#include "dump_writing_check.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <vector>

#include "log_shape.h"
#include "open_files.h"
#include "transfer/block_geometry.h"
#include "transfer/dump_writing.h"

namespace selvarex::fuzz {

namespace {

namespace fs = std::filesystem;
constexpr std::uint32_t B = nand::kBlockSize;
// Bad-block masks cover 32 blocks from a base; the range is at most this long.
constexpr std::uint32_t kMaxRangeBlocks = 40;

// Reads the input as little-endian numbers; zeros once it runs out.
class InputReader {
 public:
  InputReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  std::uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }
  std::uint32_t Word() {
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i) value |= std::uint32_t{Byte()} << (8 * i);
    return value;
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t at_ = 0;
};

struct Case {
  std::uint32_t chipBlocks, base, chipBadMask, imageBadMask;
  bool verify, eraseFirst;
  std::int32_t address, byteCount;
  std::uint64_t fileLength;
  std::uint8_t seed;

  bool Masked(std::uint32_t mask, std::uint32_t block) const {
    return block >= base && block - base < 32 && ((mask >> (block - base)) & 1u) != 0;
  }
  bool ChipBad(std::uint32_t block) const { return Masked(chipBadMask, block); }  // marked bad before the run
  bool ImageBad(std::uint32_t block) const { return Masked(imageBadMask, block); }
};

Case Decode(const std::uint8_t* data, std::size_t size) {
  InputReader in(data, size);
  Case c{};
  const std::uint8_t chip = in.Byte();
  // A small chip, or one around the exempt block 511.
  c.chipBlocks = (chip & 0x80) != 0 ? 508 + (chip & 0x0F) : 1 + (chip & 0x1F);
  c.base = c.chipBlocks > 500 ? 504 : 0;
  c.chipBadMask = in.Word();
  c.imageBadMask = in.Word();
  const std::uint8_t mode = in.Byte();
  c.verify = (mode & 0x01) != 0;
  c.eraseFirst = (mode & 0x20) != 0;
  const std::uint32_t where = in.Word();
  switch ((mode >> 1) & 3) {
    case 0: c.address = static_cast<std::int32_t>((c.base + where % 40) * B); break;
    case 1: c.address = static_cast<std::int32_t>((c.base + where % 40) * B + (where >> 16) % B); break;
    case 2: c.address = static_cast<std::int32_t>(where & 0x7FFFFFFF); break;  // anywhere, mostly far beyond the chip
    default: c.address = static_cast<std::int32_t>(0x7FFFFFFFu - where % (64 * B)); break;
  }
  const std::uint32_t count = in.Word();
  c.byteCount =
      static_cast<std::int32_t>((mode & 0x40) != 0 ? count % (kMaxRangeBlocks + 1) * B : count % (kMaxRangeBlocks * B));
  const std::uint32_t length = in.Word();
  const nand::BlockRange range = nand::RangeFor(c.address, c.byteCount);
  switch ((mode >> 3) & 3) {
    case 0: c.fileLength = std::uint64_t{c.base + length % 44} * B; break;
    case 1: c.fileLength = length % (std::uint64_t{c.base + 44} * B); break;
    case 2: c.fileLength = 0; break;
    default: c.fileLength = std::uint64_t{range.end} * B - (length & 1); break;
  }
  // Images stay small on disk: blocks before the range are holes anyway.
  c.fileLength = std::min<std::uint64_t>(c.fileLength, std::uint64_t{range.first + kMaxRangeBlocks + 2} * B);
  c.seed = in.Byte();
  return c;
}

std::vector<std::uint8_t> ImageBlock(const Case& c, std::uint32_t block) {
  std::vector<std::uint8_t> bytes(B);
  for (std::uint32_t i = 0; i < B; ++i) bytes[i] = static_cast<std::uint8_t>(i * 31 + block * 17 + c.seed);
  bytes[nand::kMarkerOffset] = c.ImageBad(block) ? 0x00 : 0xFF;
  return bytes;
}

// The image: its length as decoded, the pattern blocks of the range inside
// it (the last one cut where the file ends), holes before the range.
void WriteImage(const Case& c, const std::string& path, const nand::BlockRange& range) {
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    for (std::uint32_t b = range.first; b < range.end && std::uint64_t{b} * B < c.fileLength; ++b) {
      const std::uint64_t offset = std::uint64_t{b} * B;
      const std::vector<std::uint8_t> block = ImageBlock(c, b);
      out.seekp(static_cast<std::streamoff>(offset));
      out.write(reinterpret_cast<const char*>(block.data()),
                static_cast<std::streamsize>(std::min<std::uint64_t>(B, c.fileLength - offset)));
    }
  }
  fs::resize_file(path, c.fileLength);
}

struct NullHost : ProcessHost {
  void SetProgressRange(std::uint32_t) override {}
  void RunStarts(std::uint32_t, RunUnit) override {}
  void BlockDone() override {}
  bool StopRequested() override { return false; }
};

}  // namespace

std::string CheckDumpWriting(test::SimSession& s, const std::uint8_t* data, std::size_t size) {
  const Case c = Decode(data, size);
  const nand::BlockRange range = nand::RangeFor(c.address, c.byteCount);
  const std::string image = (s.dir.path() / "fuzz-image.bin").string();
  const std::string logPath = (s.dir.path() / "fuzz-log.txt").string();
  std::error_code ignored;
  fs::remove(logPath, ignored);

  s.sim->SimCtl_ClearFailures();
  s.sim->SimCtl_SetBlockCount(0, c.chipBlocks);
  std::set<std::uint32_t> stored;  // blocks whose bytes the chip model holds
  for (std::uint32_t b = c.base; b < c.base + 32 && b < c.chipBlocks; ++b) {
    if (c.eraseFirst && b >= range.first && b < range.end) {
      const std::vector<std::uint8_t> erased(B, 0xFF);
      s.sim->SimCtl_WriteRaw(0, b * B, erased.data(), B);
      stored.insert(b);
    }
    if (c.ChipBad(b)) s.sim->SimCtl_SetMarker(0, b, 0x00), stored.insert(b);
  }
  WriteImage(c, image, range);
  std::map<std::uint32_t, std::vector<std::uint8_t>> before;
  for (std::uint32_t b = range.first == 0 ? 0 : range.first - 1; b <= range.end && b < c.chipBlocks; ++b)
    before[b] = s.sim->ReadRaw(0, b * B, B);
  s.sim->SimCtl_ResetCounts();

  // What must happen: chip bad blocks (an unreadable marker beyond the chip
  // counts as bad, block 511 never) and image bad blocks are skipped, every
  // other block is written from its own offset, and the run stops at the
  // first block the image does not hold in full.
  std::map<std::uint32_t, std::vector<std::uint8_t>> expected = before;
  std::uint32_t writes = 0, nandBad = 0, fileBad = 0, writeErrors = 0;
  bool imageEnds = false;
  for (std::uint32_t b = range.first; b < range.end; ++b) {
    // The chip's own marker decides, the factory's bad blocks included.
    const bool usable =
        b == nand::kExemptBlock || (b < c.chipBlocks && before.at(b)[nand::kMarkerOffset] == nand::kGoodMarker);
    if (!usable) {
      ++nandBad;
      continue;
    }
    if (std::uint64_t{b + 1} * B > c.fileLength) {
      imageEnds = true;
      break;
    }
    if (c.ImageBad(b) && b != nand::kExemptBlock) {
      ++fileBad;
      continue;
    }
    ++writes;
    if (b >= c.chipBlocks) {
      ++writeErrors;
      continue;
    }
    const std::vector<std::uint8_t> bytes = ImageBlock(c, b);
    std::vector<std::uint8_t>& chip = expected[b];
    const bool verifies = std::equal(bytes.begin(), bytes.end(), chip.begin(),
                                     [](std::uint8_t i, std::uint8_t old) { return (i & old) == i; });
    for (std::uint32_t i = 0; i < B; ++i) chip[i] &= bytes[i];
    stored.insert(b);
    if (c.verify && !verifies) ++writeErrors;
  }

  NullHost host;
  const LogSettings settings{logPath, &SystemClock()};
  std::string error;
  ProcessResult result;
  try {
    result = RunDumpWriting(TransferTarget{s.library, s.programmer.FlashHandle(), 0},
                            DumpWritingParams{c.address, c.byteCount, image, c.verify}, host, settings);
  } catch (const std::exception& e) {
    error = e.what();
  }

  const std::string where = " (address " + std::to_string(c.address) + ", " + std::to_string(c.byteCount) +
                            " bytes, image of " + std::to_string(c.fileLength) + " bytes, chip of " +
                            std::to_string(c.chipBlocks) + " blocks)";
  if (imageEnds != !error.empty()) return "the run " + (error.empty() ? "went on" : "stopped: " + error) + where;
  if (imageEnds && error.rfind("Image file " + image + " ended at position ", 0) != 0)
    return "wrong error: " + error + where;
  if (s.sim->Calls(drav::Entry::DravFlashWrite) != writes)
    return std::to_string(s.sim->Calls(drav::Entry::DravFlashWrite)) + " block writes, " + std::to_string(writes) +
           " expected" + where;
  for (const auto& [block, bytes] : expected) {
    if (s.sim->ReadRaw(0, block * B, B) != bytes) return "chip block " + std::to_string(block) + " is wrong" + where;
  }
  if (s.sim->SimCtl_AllocatedBlocks(0) != stored.size()) return "blocks outside the range changed" + where;
  if (!imageEnds) {
    const std::string counts = "NAND Dump has been restored!\n\n" + std::to_string(nandBad) +
                               " NAND bad block/s has been skipped.\n" + std::to_string(fileBad) +
                               " File Dump bad block/s has been skipped.\n" + std::to_string(writeErrors) +
                               " NAND Write Error/s has occured.\n\nCheck the log for the details.";
    if (result.message != counts) return "closing message \"" + result.message + "\"" + where;
  }
  const test::LogShape log = test::ParseLogFile(logPath);
  if (!log.error.empty()) return "log: " + log.error + where;
  if (log.sections.size() != 1 || log.sections[0].ended == imageEnds || log.sections[0].HasSummary() == imageEnds)
    return "log section not ended exactly when the run completed" + where;
  if (!test::OpenFilesUnder(s.dir.path()).empty()) return "a file is left open" + where;
  return "";
}

}  // namespace selvarex::fuzz
