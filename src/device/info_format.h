// How the information panels write the values the library reports.
#pragma once

#include <cstdint>
#include <string>

namespace selvarex {

// "%d.%d.%d.%d" from the unsigned 16-bit halves of the two words.
std::string VersionToStr(std::uint32_t high, std::uint32_t low);
// "%d.%d" from the high and the low byte.
std::string LoaderVersionToStr(std::uint16_t version);
// The product name of a PLD ID; "UNKNOWN" beyond the table.
const std::string& PldIdToProductName(std::uint16_t pldId);
// "0x" and exactly four upper-case hexadecimal digits.
std::string FlashIdToStr(std::uint16_t flashId);
// The PLD status word: any bit set means the PLD holds no design yet.
const char* PldStatusToStr(std::uint32_t status);
// "Yes" or "No", as the flash panel answers its questions.
const char* YesNoToStr(bool yes);

}  // namespace selvarex
