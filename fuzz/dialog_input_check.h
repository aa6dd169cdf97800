// The properties of the dialogs' number fields and OK rules, checked on one
// input: up to three fields (address, size or end block, file name)
// separated by line feeds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace selvarex::fuzz {

// "" when every property holds, else what failed.
std::string CheckDialogInput(const std::uint8_t* data, std::size_t size);

}  // namespace selvarex::fuzz
