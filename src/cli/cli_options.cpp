#include "cli/cli_options.h"

#include <CLI/CLI.hpp>
#include <sstream>

#include "cli/exit_codes.h"
#include "cli/number_argument.h"

namespace selvarex::cli {

namespace {

constexpr const char* kProgram = "selvarex-cli";

struct CommandInfo {
  Command command;
  const char* name;
  const char* arguments;  // as the usage line shows them
  const char* description;
};

const CommandInfo kCommands[] = {
    {Command::Info, "info", "[--json]",
     "Prints the values of the information panel (device count, DLL, driver and loader versions, PLD "
     "status and ID) and of the flash panel (flash ID, full name, product name, whether the chip and its "
     "maker are supported), one \"caption value\" line each; --json prints them as one JSON object."},
    {Command::Read, "read", "FILE [--start N] [--size N] [--passes K]",
     "Dump reading: reads the range block by block into FILE, created or replaced; the first block "
     "read lands at offset 0, bad blocks included. With --passes K the range is read K times: FILE is "
     "written only when every pass read the same bytes as the first, otherwise the blocks that differed "
     "are named and FILE is left as it was (the first pass goes to FILE.part meanwhile)."},
    {Command::Write, "write", "FILE [--start N] [--size N] [--no-verify]",
     "Dump writing: writes FILE into the range block by block, the bytes for NAND address A taken "
     "from offset A of FILE. Blocks bad in the chip or in FILE are skipped, failed block writes counted; "
     "the run stops at the first block FILE cannot fill. The library verifies every write unless "
     "--no-verify."},
    {Command::Erase, "erase", "[--first BLOCK] [--last BLOCK] [--no-verify]",
     "Sector erase: erases blocks --first to --last, both included (default 0 to 1023), skipping "
     "blocks the chip marks as bad."},
    {Command::Compare, "compare", "FILE [--start N] [--size N] [--max-report N]",
     "Reads the range and compares it with FILE block by block, FILE addressed as write addresses it. "
     "Blocks bad in the chip or in FILE are skipped, as write skips them. Prints each differing block "
     "(block number, address, count of differing bytes, address of the first), at most --max-report of "
     "them (default 20; all are in the log), then the totals; exit code 1 when any block differs."},
    {Command::Blank, "blank", "", "Blank check: prints \"Device is Blank!\" or \"Device is not Blank!\"."},
    {Command::Size, "size", "", "Prints \"Device Size is \" and the chip's size."},
    {Command::Reset, "reset", "", "Resets the programmer."},
    {Command::FlashReset, "flash-reset", "", "Resets the flash chip: prints \"Reset OK!\"."},
    {Command::PldReset, "pld-reset", "", "Resets the PLD."},
    {Command::DevEnter, "dev-enter", "",
     "Puts the PLD into device mode, up to 50 attempts: prints \"DevEnter done!\", or \"DevEnter "
     "failed!\" with exit code 1."},
    {Command::DevExit, "dev-exit", "",
     "Takes the PLD out of device mode, up to 50 attempts: prints \"DevExit done!\", or \"DevExit "
     "failed!\" with exit code 1."},
    {Command::Counter, "counter", "",
     "Measures the PostBus counter: prints its status (\"Ready\", or \"Time Out\" with exit code 1) "
     "and, when ready, the tick count, the time and the value byte."},
};

constexpr const char* kManual = R"(
The device library and the programmer:
  Every command loads the device library Dravolin.dll from the working
  directory (not from beside this program; --library names another file),
  opens the first programmer, creates the device object and selects the flash
  chip --flash names. Flash commands refuse a chip, or a chip maker, that the
  library does not support, saying which. At the end the programmer is closed
  and the library unloaded.

Numbers:
  Addresses and sizes are in bytes, decimal or hexadecimal after 0x, from 0 to
  2147483647 (0x7FFFFFFF). The chip is cut into blocks of 135168 bytes
  (1 Sector = 135168 bytes: 64 pages of 2112, data and spare together); a
  start address is rounded down to its block, and the range ends with the last
  whole block below start + size. Defaults: start 0, size 138412032 (1024
  blocks). A block is bad when its byte at offset 2048 is not 255; block 511
  counts as good whatever it holds.

The operation log:
  Every read, write, erase and compare appends a section to DravolinLog.txt in
  the working directory (the same sections and entries as the window writes):
  the bad blocks, every error, the differences and a summary. --log PATH
  writes it elsewhere, --no-log writes none. A log that cannot be written is
  skipped silently, as in the window.

Output:
  Results go to standard output, errors to standard error. While a read,
  write, erase or compare runs, standard error shows its position, speed and
  time left, when it is a terminal and without --quiet.

Stopping:
  Ctrl+C stops a read, write, erase or compare after its current block; the
  log gets the stop entry and the end frame, and the exit code is 1. A second
  Ctrl+C ends the program at once.

Exit codes:
  0  success
  1  the operation failed or was stopped, or compare found differing blocks
  2  usage error: nothing has been touched (no library loaded, no log entry,
     no file created)
  3  the device library or the programmer cannot be had

On Windows:
  selvarex-cli.exe is a 32-bit program that loads the maker's 32-bit
  Dravolin.dll in its own process; it needs nothing beside it. A 64-bit build
  loads the library through selvarex-libhost.exe beside it.
)";

std::string UsageLine(const CommandInfo* command) {
  std::string line = std::string("Usage: ") + kProgram + " [OPTIONS] ";
  if (command == nullptr) return line + "COMMAND [ARGS]";
  line += command->name;
  if (*command->arguments != '\0') line += std::string(" ") + command->arguments;
  return line;
}

Parsed UsageError(const std::string& problem, const CommandInfo* command) {
  Parsed parsed;
  parsed.exitCode = kUsageError;
  parsed.err = std::string(kProgram) + ": " + problem + "\n" + UsageLine(command) + "\nRun " + kProgram +
               " --help for the manual.\n";
  return parsed;
}

// A number option is taken as text, so that a bad one is reported with the
// option's name and the rule it breaks.
struct NumberText {
  const char* option;
  std::string text;
};

std::optional<std::int32_t> Number(const CLI::App& app, const NumberText& number, std::string& problem) {
  const CLI::Option* option = app.get_option_no_throw(number.option);
  if (option == nullptr || option->count() == 0) return std::nullopt;
  const auto value = ParseNumberArgument(number.text);
  if (!value)
    problem = std::string(number.option) + ": \"" + number.text +
              "\" is not a number from 0 to 2147483647 (decimal, or hexadecimal after 0x)";
  return value;
}

}  // namespace

Parsed ParseArguments(const std::vector<std::string>& arguments) {
  Options options;
  CLI::App app(
      "Drives the Dravolin NAND flash programmer through its device library: reads, writes, erases "
      "and compares the selected chip, and runs the programmer's single-shot commands and its "
      "PostBus counter.",
      kProgram);
  app.require_subcommand(1);
  app.fallthrough();
  app.footer(kManual);

  NumberText flash{"--flash", ""};
  app.add_option("--flash", flash.text, "The flash chip: 0 for \"Flash 0\" (default), 1 for \"Flash 1\"")
      ->type_name("0|1");
  app.add_option("--library", options.library, "The device library to load instead of ./Dravolin.dll")
      ->type_name("PATH");
  auto* log = app.add_option("--log", options.logPath, "Writes the operation log there instead of ./DravolinLog.txt")
                  ->type_name("PATH");
  app.add_flag("--no-log", options.noLog, "Writes no operation log")->excludes(log);
  app.add_flag("-q,--quiet", options.quiet, "No progress on standard error");

  NumberText start{"--start", ""};
  NumberText size{"--size", ""};
  NumberText first{"--first", ""};
  NumberText last{"--last", ""};
  NumberText passes{"--passes", ""};
  NumberText maxReport{"--max-report", ""};
  std::vector<std::pair<CLI::App*, const CommandInfo*>> subcommands;
  for (const CommandInfo& info : kCommands) {
    CLI::App* sub = app.add_subcommand(info.name, info.description);
    sub->fallthrough();
    sub->footer(std::string("The whole manual: ") + kProgram + " --help");
    subcommands.emplace_back(sub, &info);
    const Command command = info.command;
    const bool range = command == Command::Read || command == Command::Write || command == Command::Compare;
    if (range) {
      sub->add_option("FILE", options.file, "The image file")->required();
      sub->add_option("--start", start.text, "NAND address where the range begins (default 0)")->type_name("N");
      sub->add_option("--size", size.text, "Bytes in the range (default 138412032, 1024 blocks)")->type_name("N");
    }
    if (command == Command::Write || command == Command::Erase)
      sub->add_flag(
          "--no-verify", [&options](std::int64_t) { options.verify = false; },
          "Switches the library's write verification off for the run (the window's \"Write Verify\")");
    if (command == Command::Read)
      sub->add_option("--passes", passes.text, "Reads the range K times (1 to 100, default 1)")->type_name("K");
    if (command == Command::Compare)
      sub->add_option("--max-report", maxReport.text, "Prints at most N differing blocks (default 20)")->type_name("N");
    if (command == Command::Erase) {
      sub->add_option("--first", first.text, "The first block erased (default 0)")->type_name("BLOCK");
      sub->add_option("--last", last.text, "The last block erased (default 1023)")->type_name("BLOCK");
    }
    if (command == Command::Info) sub->add_flag("--json", options.json, "One JSON object instead of lines");
  }

  std::vector<const char*> argv;
  for (const std::string& argument : arguments) argv.push_back(argument.c_str());
  auto chosen = [&]() -> const CommandInfo* {
    for (const auto& [sub, info] : subcommands)
      if (sub->parsed()) return info;
    return nullptr;
  };
  try {
    app.parse(static_cast<int>(argv.size()), argv.data());
  } catch (const CLI::CallForHelp& help) {
    std::ostringstream out, err;
    Parsed parsed;
    parsed.exitCode = app.exit(help, out, err);
    parsed.out = out.str();
    parsed.err = err.str();
    return parsed;
  } catch (const CLI::ParseError& error) {
    const CommandInfo* command = chosen();
    // What stands where the command belongs says more than "a subcommand is required".
    if (command == nullptr && !app.remaining().empty())
      return UsageError("\"" + app.remaining().front() + "\" is not a command", nullptr);
    return UsageError(error.what(), command);
  }

  const CommandInfo* command = chosen();
  options.command = command->command;
  std::string problem;
  const auto flashNumber = Number(app, flash, problem);
  if (flashNumber && *flashNumber > 1) problem = "--flash: \"" + flash.text + "\" is neither 0 nor 1";
  if (flashNumber) options.flash = static_cast<std::uint32_t>(*flashNumber);

  CLI::App& sub = *app.get_subcommand(command->name);
  if (const auto value = Number(sub, start, problem)) options.start = *value;
  if (const auto value = Number(sub, size, problem)) options.size = *value;
  if (const auto value = Number(sub, passes, problem)) {
    if (*value < 1 || *value > 100) problem = "--passes: \"" + passes.text + "\" is not from 1 to 100";
    options.passes = static_cast<std::uint32_t>(*value);
  }
  if (const auto value = Number(sub, maxReport, problem)) options.maxReport = static_cast<std::uint32_t>(*value);
  if (const auto value = Number(sub, first, problem)) options.firstBlock = static_cast<std::uint32_t>(*value);
  if (const auto value = Number(sub, last, problem)) options.lastBlock = static_cast<std::uint32_t>(*value);
  if (problem.empty() && command->command == Command::Erase) {
    // The window's limits: its address field is a signed 32-bit byte
    // address, and no erased block may run past 4 GiB.
    constexpr std::uint32_t kHighestFirst = INT32_MAX / nand::kBlockSize;
    if (options.firstBlock > kHighestFirst)
      problem = "--first: block " + std::to_string(options.firstBlock) + " is beyond block " +
                std::to_string(kHighestFirst) + ", the last one whose address is below 2147483648";
    else if (options.lastBlock >= nand::kMaxEndBlock)
      problem = "--last: block " + std::to_string(options.lastBlock) + " is beyond block " +
                std::to_string(nand::kMaxEndBlock - 1) + ", the last one below 4 GiB";
    else if (options.lastBlock < options.firstBlock)
      problem = "--last: block " + std::to_string(options.lastBlock) + " comes before --first block " +
                std::to_string(options.firstBlock);
  }
  if (!problem.empty()) return UsageError(problem, command);
  Parsed parsed;
  parsed.options = options;
  return parsed;
}

}  // namespace selvarex::cli
