#include "transfer/file_names.h"

namespace selvarex {

std::filesystem::path PathFromUtf8(const std::string& name) {
  return std::filesystem::path(std::u8string(name.begin(), name.end()));
}

std::string ShownFileName(const std::string& name) {
  const std::u8string shown = PathFromUtf8(name).make_preferred().u8string();
  return std::string(shown.begin(), shown.end());
}

}  // namespace selvarex
