// One simulated NAND chip: its identity, its bytes and the rules of NAND
// (erase sets every bit, programming only clears bits), its factory bad blocks
// and the faults tests give its blocks.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "nand_geometry.h"

namespace sim {

struct ChipIdentity {
  std::uint16_t flashId = 0;
  std::string fullName;
  std::string prodName;  // the maker
  bool supported = false;
  bool prodSupported = false;
};

struct BlankScan {
  std::uint32_t firstNonBlank;  // byte address; the chip size when blank
  std::uint64_t pagesScanned;
};

class NandChip {
 public:
  NandChip(std::uint32_t index, ChipIdentity identity, std::vector<std::uint32_t> factoryBadBlocks,
           std::uint8_t badMarker);

  // Factory state with this number of blocks: content, bad blocks and faults.
  void Rebuild(std::uint32_t blocks);

  std::uint32_t Blocks() const { return static_cast<std::uint32_t>(blocks_.size()); }
  std::uint32_t Size() const { return Blocks() * kBlockSize; }
  bool Contains(std::uint64_t address, std::uint64_t length) const {
    return address <= Size() && length <= Size() - address;
  }
  // A block's first byte; false when address is not one inside the chip.
  bool IsBlockStart(std::uint32_t address) const {
    return address % kBlockSize == 0 && address / kBlockSize < Blocks();
  }

  // Raw access, no NAND rules; the range must lie inside the chip.
  void Read(std::uint32_t address, std::uint8_t* out, std::uint32_t length) const;
  void WriteRaw(std::uint32_t address, const std::uint8_t* data, std::uint32_t length);

  // Programs a whole block: each bit can only go from 1 to 0.
  void Program(std::uint32_t block, const std::uint8_t* data);
  // Offset of the first byte of the block that differs from data, or -1.
  std::int64_t FirstMismatch(std::uint32_t block, const std::uint8_t* data) const;
  void Erase(std::uint32_t block);
  // The first byte that is not 0xFF in the blocks that are not factory bad.
  BlankScan ScanBlank() const;

  bool IsFactoryBad(std::uint32_t block) const { return blocks_[block].factoryBad; }
  // Writes the marker byte; a marker other than 0xFF makes a factory bad block.
  void SetMarker(std::uint32_t block, std::uint8_t marker);
  std::uint32_t Faults(std::uint32_t block) const { return blocks_[block].faults; }
  void SetFaults(std::uint32_t block, std::uint32_t flags) { blocks_[block].faults = flags; }
  // Blocks changed since the factory state. A block holds memory of its own
  // from its first program on, and keeps it when erased: a chip erased and
  // written again run after run would otherwise fault fresh pages in for
  // every block it programs, three times the time of a whole zero-latency run.
  std::uint32_t ChangedBlocks() const;

  ChipIdentity identity;
  bool writeVerify = true;

 private:
  enum class State : std::uint8_t { Factory, Erased, Stored };
  struct Block {
    State state = State::Factory;
    bool factoryBad = false;
    std::uint32_t faults = 0;
    std::unique_ptr<std::uint8_t[]> bytes;  // from the first program on; the content only when Stored
  };

  // Copies [offset, offset + length) of a block, as it is now.
  void ReadBlock(std::uint32_t block, std::uint32_t offset, std::uint8_t* out, std::uint32_t length) const;
  // The block's own memory, filled with its current content on first use.
  std::uint8_t* Materialize(std::uint32_t block);

  std::uint32_t index_;
  std::vector<std::uint32_t> factoryBadBlocks_;
  std::uint8_t badMarker_;
  std::vector<Block> blocks_;
};

}  // namespace sim
