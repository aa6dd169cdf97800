// Which files the test process still holds open: a process must close its
// image and its log on every way out.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace selvarex::test {

// The open files of this process that lie inside dir. Empty where the
// platform does not list a process's files (only Linux's /proc does).
std::vector<std::string> OpenFilesUnder(const std::filesystem::path& dir);

}  // namespace selvarex::test
