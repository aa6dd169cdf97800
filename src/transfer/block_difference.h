// Where two copies of one block differ: the chip and an image, or two reads
// of the chip.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace selvarex {

struct BlockDifference {
  std::uint32_t block;           // its index
  std::uint32_t address;         // its NAND address
  std::uint32_t firstAddress;    // NAND address of the first byte that differs
  std::uint32_t differingBytes;  // bytes that differ, 1 to a whole block
};

// Compares two whole blocks; none when they are equal.
std::optional<BlockDifference> DifferenceOf(std::uint32_t block, const std::uint8_t* one, const std::uint8_t* other);

// "Block 3 at Address: 405504 (dec), 17 byte/s differ, the first at Address: 405600 (dec)"
std::string DifferenceText(const BlockDifference& difference);

}  // namespace selvarex
