// The text of the error box.
#pragma once

#include <string>

namespace selvarex {

// A full stop is appended when the message is not empty and its last
// character sorts after "." (so not after "!", "." or ")").
std::string ErrorBoxText(const std::string& message);

}  // namespace selvarex
