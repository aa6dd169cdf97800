// What a chip holds when it leaves the factory: bytes that look like old data,
// computed from (chip, address) alone so that a block needs memory only once
// it changes.
#pragma once

#include <cstddef>
#include <cstdint>

namespace sim {

// The factory bytes [address, address + length) of a chip, bad-block markers
// not included (the chip lays those over).
void FactoryBytes(std::uint32_t chip, std::uint64_t address, std::uint8_t* out, std::size_t length);

}  // namespace sim
