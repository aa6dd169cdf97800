// What the operator asked for on the command line, checked in full before
// anything is touched: a usage error loads no library, writes no log entry
// and creates no file.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "transfer/block_geometry.h"

namespace selvarex::cli {

enum class Command {
  Info,
  Read,
  Write,
  Erase,
  Compare,
  Blank,
  Size,
  Reset,
  FlashReset,
  PldReset,
  DevEnter,
  DevExit,
  Counter
};

struct Options {
  Command command = Command::Info;
  std::string file;  // read, write, compare: UTF-8
  // read, write, compare: bytes, the window's defaults.
  std::int32_t start = 0;
  std::int32_t size = static_cast<std::int32_t>(nand::kDefaultBytes);
  // erase: blocks, both erased; the window's default run of 1024 blocks.
  std::uint32_t firstBlock = 0;
  std::uint32_t lastBlock = nand::kDefaultBlocks - 1;
  bool verify = true;            // write, erase: the window's "Write Verify", ticked at start
  std::uint32_t passes = 1;      // read
  std::uint32_t maxReport = 20;  // compare
  bool json = false;             // info
  std::uint32_t flash = 0;
  std::string library;  // "" = Dravolin.dll in the working directory
  std::string logPath;  // "" = DravolinLog.txt in the working directory
  bool noLog = false;
  bool quiet = false;
};

// Options to run, or what to print and the exit code to end with (the
// manual for --help, the problem and the usage line for a usage error).
struct Parsed {
  std::optional<Options> options;
  int exitCode = 0;
  std::string out;
  std::string err;
};

// arguments[0] is the program's name.
Parsed ParseArguments(const std::vector<std::string>& arguments);

}  // namespace selvarex::cli
