#include "device/errors.h"

namespace selvarex {

std::string OsErrorMessage(std::uint32_t code, const std::string& systemText) {
  if (code == 0) return "A call to an OS function failed";
  return "System Error.  Code: " + std::to_string(code) + ".\r\n" + systemText;
}

EOSError::EOSError(std::uint32_t code, const std::string& systemText)
    : Exception(OsErrorMessage(code, systemText)), code_(code), systemText_(systemText) {}

EFOpenError::EFOpenError(const std::string& fileName) : Exception("Cannot open file " + fileName) {}

EFCreateError::EFCreateError(const std::string& fileName) : Exception("Cannot create file " + fileName) {}

}  // namespace selvarex
