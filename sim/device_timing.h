// How long the programmer takes for its work, in nanoseconds.
//
// Chip figures are the typical values of public datasheets of 1 Gbit SLC NAND
// with 2112-byte pages: page read (array to register) tR = 25 us, page program
// tPROG = 200 us, block erase tBERS = 2 ms.
// The link is USB 2.0 high speed: a 125 us microframe carries at most 13 bulk
// packets of 512 bytes (USB 2.0, chapter 5, high-speed bulk transaction
// limits), that is 53.248 MB/s, whichever way the data goes. Every call also
// costs one microframe for its command and status.
#pragma once

#include <cstdint>

#include "nand_geometry.h"

namespace sim::timing {

constexpr std::uint64_t kMicroframeNs = 125'000;
constexpr std::uint64_t kCommandOverheadNs = kMicroframeNs;
constexpr std::uint64_t kBulkBytesPerMicroframe = 13 * 512;

constexpr std::uint64_t kPageReadNs = 25'000;
constexpr std::uint64_t kPageProgramNs = 200'000;
constexpr std::uint64_t kBlockEraseNs = 2'000'000;

constexpr std::uint64_t TransferNs(std::uint64_t bytes) { return bytes * kMicroframeNs / kBulkBytesPerMicroframe; }

// Pages a read of length bytes at address (length >= 1) has to load.
constexpr std::uint64_t PagesTouched(std::uint64_t address, std::uint64_t length) {
  return (address + length - 1) / kPageSize - address / kPageSize + 1;
}

constexpr std::uint64_t ReadNs(std::uint64_t address, std::uint64_t length) {
  return PagesTouched(address, length) * kPageReadNs + TransferNs(length);
}

constexpr std::uint64_t BlockProgramNs() { return TransferNs(kBlockSize) + kPagesPerBlock * kPageProgramNs; }

// Verifying reads every page back inside the programmer; nothing crosses USB.
constexpr std::uint64_t BlockVerifyNs() { return kPagesPerBlock * kPageReadNs; }

}  // namespace sim::timing
