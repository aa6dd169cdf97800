// The program's error kinds. Every error carries the text the operator sees in
// the error box, as UTF-8; nothing is caught between a command and that box.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace selvarex {

class Exception : public std::runtime_error {
 public:
  explicit Exception(const std::string& message) : std::runtime_error(message) {}
};

// An operating-system call failed; carries the system's error code.
class EOSError : public Exception {
 public:
  EOSError(std::uint32_t code, const std::string& systemText);
  std::uint32_t code() const { return code_; }
  const std::string& systemText() const { return systemText_; }

 private:
  std::uint32_t code_;
  std::string systemText_;
};

// The library's host process stopped, or broke the protocol, during a call:
// the library counts as unloaded from then on.
class ELibraryHostStopped : public Exception {
 public:
  using Exception::Exception;
};

// Image files that cannot be opened or created.
class EFOpenError : public Exception {
 public:
  explicit EFOpenError(const std::string& fileName);
};

class EFCreateError : public Exception {
 public:
  explicit EFCreateError(const std::string& fileName);
};

// "System Error.  Code: %d.\r\n%s", or the generic text when the code is 0.
std::string OsErrorMessage(std::uint32_t code, const std::string& systemText);

}  // namespace selvarex
