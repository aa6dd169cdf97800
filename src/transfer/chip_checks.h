// Device steps the erase and writing processes share.
#pragma once

#include <cstdint>
#include <optional>

#include "transfer/operation_log.h"
#include "transfer/transfer_target.h"

namespace selvarex {

// The chip's bad-block byte of the block at blockAddress, read on its own
// (one byte at offset 2048); nullopt when the library could not read it.
std::optional<std::uint8_t> ReadChipMarker(const TransferTarget& target, std::uint32_t blockAddress);

// Whether a block may be erased or written. A marker that could not be read
// counts as bad: an earlier block's byte must not decide for this one. The
// exempt block passes either way. See docs/formats.md, "Bad blocks".
bool ChipBlockUsable(std::uint32_t index, std::optional<std::uint8_t> marker);

// Switches the library's write verification; on failure logs the error and
// raises the library's last error.
void SetWriteVerify(const TransferTarget& target, bool verify, OperationLog& log);

}  // namespace selvarex
