// The OK rule of the time-out dialog.
#pragma once

#include <string_view>

namespace selvarex {

// Both fields must convert to integers of 0 or more.
bool TimeoutOkEnabled(std::string_view rxText, std::string_view txText);

}  // namespace selvarex
