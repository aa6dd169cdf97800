#include "nand_chip.h"

#include <algorithm>
#include <cstring>

#include "factory_content.h"

namespace sim {

NandChip::NandChip(std::uint32_t index, ChipIdentity id, std::vector<std::uint32_t> factoryBadBlocks,
                   std::uint8_t badMarker)
    : identity(std::move(id)), index_(index), factoryBadBlocks_(std::move(factoryBadBlocks)), badMarker_(badMarker) {
  Rebuild(kDefaultBlocks);
}

void NandChip::Rebuild(std::uint32_t blocks) {
  blocks_.clear();
  blocks_.resize(blocks);
  for (std::uint32_t bad : factoryBadBlocks_) {
    if (bad < blocks) blocks_[bad].factoryBad = true;
  }
}

void NandChip::ReadBlock(std::uint32_t block, std::uint32_t offset, std::uint8_t* out, std::uint32_t length) const {
  const Block& b = blocks_[block];
  switch (b.state) {
    case State::Stored: std::memcpy(out, b.bytes.get() + offset, length); return;
    case State::Erased: std::memset(out, 0xFF, length); return;
    case State::Factory:
      FactoryBytes(index_, std::uint64_t{block} * kBlockSize + offset, out, length);
      // Blocks never changed still carry the marker they left the factory with.
      if (offset <= kMarkerOffset && kMarkerOffset - offset < length) {
        out[kMarkerOffset - offset] = b.factoryBad ? badMarker_ : kGoodMarker;
      }
      return;
  }
}

std::uint8_t* NandChip::Materialize(std::uint32_t block) {
  Block& b = blocks_[block];
  if (b.state != State::Stored) {
    if (!b.bytes) b.bytes = std::make_unique_for_overwrite<std::uint8_t[]>(kBlockSize);
    ReadBlock(block, 0, b.bytes.get(), kBlockSize);
    b.state = State::Stored;
  }
  return b.bytes.get();
}

void NandChip::Read(std::uint32_t address, std::uint8_t* out, std::uint32_t length) const {
  while (length > 0) {
    const std::uint32_t block = address / kBlockSize;
    const std::uint32_t offset = address % kBlockSize;
    const std::uint32_t piece = std::min(length, kBlockSize - offset);
    ReadBlock(block, offset, out, piece);
    address += piece;
    out += piece;
    length -= piece;
  }
}

void NandChip::WriteRaw(std::uint32_t address, const std::uint8_t* data, std::uint32_t length) {
  while (length > 0) {
    const std::uint32_t block = address / kBlockSize;
    const std::uint32_t offset = address % kBlockSize;
    const std::uint32_t piece = std::min(length, kBlockSize - offset);
    std::memcpy(Materialize(block) + offset, data, piece);
    address += piece;
    data += piece;
    length -= piece;
  }
}

void NandChip::Program(std::uint32_t block, const std::uint8_t* data) {
  std::uint8_t* bytes = Materialize(block);
  for (std::uint32_t i = 0; i < kBlockSize; i += 8) {
    std::uint64_t cell = 0;
    std::uint64_t wanted = 0;
    std::memcpy(&cell, bytes + i, 8);
    std::memcpy(&wanted, data + i, 8);
    cell &= wanted;
    std::memcpy(bytes + i, &cell, 8);
  }
  static_assert(kBlockSize % 8 == 0);
}

std::int64_t NandChip::FirstMismatch(std::uint32_t block, const std::uint8_t* data) const {
  std::vector<std::uint8_t> now(kBlockSize);
  ReadBlock(block, 0, now.data(), kBlockSize);
  const auto diff = std::mismatch(now.begin(), now.end(), data);
  return diff.first == now.end() ? -1 : diff.first - now.begin();
}

void NandChip::Erase(std::uint32_t block) {
  Block& b = blocks_[block];
  b.state = State::Erased;
}

BlankScan NandChip::ScanBlank() const {
  BlankScan scan{Size(), 0};
  std::vector<std::uint8_t> page(kPageSize);
  for (std::uint32_t block = 0; block < Blocks(); ++block) {
    const Block& b = blocks_[block];
    if (b.factoryBad) continue;
    if (b.state == State::Erased) {
      scan.pagesScanned += kPagesPerBlock;
      continue;
    }
    // A page at a time, as the programmer reads them; a factory block stops
    // at its first page.
    for (std::uint32_t p = 0; p < kPagesPerBlock; ++p) {
      ++scan.pagesScanned;
      ReadBlock(block, p * kPageSize, page.data(), kPageSize);
      const auto it = std::find_if(page.begin(), page.end(), [](std::uint8_t v) { return v != 0xFF; });
      if (it != page.end()) {
        scan.firstNonBlank = block * kBlockSize + p * kPageSize + static_cast<std::uint32_t>(it - page.begin());
        return scan;
      }
    }
  }
  return scan;
}

void NandChip::SetMarker(std::uint32_t block, std::uint8_t marker) {
  Materialize(block)[kMarkerOffset] = marker;
  blocks_[block].factoryBad = marker != kGoodMarker;
}

std::uint32_t NandChip::ChangedBlocks() const {
  return static_cast<std::uint32_t>(
      std::count_if(blocks_.begin(), blocks_.end(), [](const Block& b) { return b.state != State::Factory; }));
}

}  // namespace sim
