#include "factory_content.h"

namespace sim {

namespace {

// splitmix64's finaliser: every input bit reaches every output bit, so
// neighbouring words look unrelated.
std::uint64_t Mix(std::uint64_t x) {
  x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
  x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
  return x ^ (x >> 31);
}

// Eight factory bytes at a time: word w covers the addresses 8w .. 8w + 7.
std::uint64_t FactoryWord(std::uint32_t chip, std::uint64_t word) {
  const std::uint64_t seed = 0x5EEDC0DE00000000ull + chip * 0x9E3779B97F4A7C15ull;
  return Mix(seed + word * 0x9E3779B97F4A7C15ull);
}

}  // namespace

void FactoryBytes(std::uint32_t chip, std::uint64_t address, std::uint8_t* out, std::size_t length) {
  std::uint64_t word = address / 8;
  unsigned skip = static_cast<unsigned>(address % 8);
  while (length > 0) {
    const std::uint64_t bits = FactoryWord(chip, word++);
    // Byte i of a word is bits 8i .. 8i + 7, the same on every platform.
    for (unsigned i = skip; i < 8 && length > 0; ++i, --length) {
      *out++ = static_cast<std::uint8_t>(bits >> (8 * i));
    }
    skip = 0;
  }
}

}  // namespace sim
