// Image file names as the program carries them: UTF-8 text, opened under
// exactly that name on every system (on Windows through the wide-character
// file calls, never through the 8-bit code page), and shown the way the
// operator's system writes names ("C:\dumps\board.bin" on Windows).
#pragma once

#include <filesystem>
#include <string>

namespace selvarex {

std::filesystem::path PathFromUtf8(const std::string& name);
// The name with the system's own separators, for the log and the messages.
std::string ShownFileName(const std::string& name);

}  // namespace selvarex
