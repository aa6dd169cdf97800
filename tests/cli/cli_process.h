// Test support: selvarex-cli run as the operator runs it, a program of its
// own in the current working directory, its output captured.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace selvarex::test {

struct CliRun {
  int exitCode = -1;
  std::string out;  // standard output, "\n" line ends
  std::string err;  // standard error, "\n" line ends
};

class CliProcess {
 public:
  // Starts the program with these arguments (its name not included), with
  // no standard input.
  explicit CliProcess(const std::vector<std::string>& arguments);
  // Standard error on a terminal (a pseudo-terminal this test program
  // reads); its output comes back in CliRun::err as the terminal got it.
  // Not on Windows.
  struct ErrorOnTerminal {};
  CliProcess(const std::vector<std::string>& arguments, ErrorOnTerminal);
  ~CliProcess();
  CliProcess(const CliProcess&) = delete;
  CliProcess& operator=(const CliProcess&) = delete;

  // Waits for its end.
  CliRun Wait();
  // Ctrl+C as a terminal sends it: to the program's whole process group,
  // a library host included. Not on Windows.
  void Interrupt() const;

  static std::filesystem::path Program();

 private:
  void Start(const std::vector<std::string>& arguments, bool errorOnTerminal);

  std::filesystem::path outputDir_;
  int terminal_ = -1;          // the pseudo-terminal's master side
  std::intptr_t process_ = 0;  // pid, or the process handle on Windows
  bool waited_ = false;
};

inline CliRun RunCli(const std::vector<std::string>& arguments) { return CliProcess(arguments).Wait(); }

}  // namespace selvarex::test
