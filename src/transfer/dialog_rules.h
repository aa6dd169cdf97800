// When the OK buttons of the read, write and erase dialogs are enabled.
#pragma once

#include <string_view>

namespace selvarex {

// Both numbers convert to integers of 0 or more and a file has been chosen.
bool FlashReadOkEnabled(std::string_view address, std::string_view size, std::string_view fileName);
bool FlashWriteOkEnabled(std::string_view address, std::string_view size, std::string_view fileName);
// Both numbers convert to integers of 0 or more, and the end block keeps every
// erased block below 4 GiB (at most nand::kMaxEndBlock).
bool EraseSectorOkEnabled(std::string_view address, std::string_view endBlock);

}  // namespace selvarex
