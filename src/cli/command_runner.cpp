#include "cli/command_runner.h"

#include <string>

#include "cli/cli_session.h"
#include "cli/exit_codes.h"
#include "cli/info_output.h"
#include "cli/terminal_progress.h"
#include "counter/postbus_counter.h"
#include "device/device_commands.h"
#include "device/error_text.h"
#include "device/platform_process.h"
#include "transfer/dump_comparing.h"
#include "transfer/dump_reading.h"
#include "transfer/dump_writing.h"
#include "transfer/multi_pass_reading.h"
#include "transfer/required_entries.h"
#include "transfer/sector_erase.h"

namespace selvarex::cli {

namespace {

using std::to_string;

void Print(std::FILE* to, const std::string& text) {
  std::fputs(text.c_str(), to);
  if (!text.empty() && text.back() != '\n') std::fputc('\n', to);
  std::fflush(to);
}

// The information box's texts go to standard output; the error sound makes
// the command a failure.
class PrintingReporter : public CommandReporter {
 public:
  explicit PrintingReporter(std::FILE* out) : out_(out) {}
  void Show(const std::string& text) override { Print(out_, text); }
  void ErrorBeep() override { failed = true; }
  bool failed = false;

 private:
  std::FILE* out_;
};

// The counter's labels; only the outcome of the measurement is printed.
class CounterLines : public CounterView {
 public:
  void ShowCounterStatus(const std::string& shown) override { status = shown; }
  void ProcessMessagesOnce() override {}
  void ShowCounterResult(const std::string& ticks, const std::string& time, const std::string& value) override {
    result = std::string(kCounterCaptions.ticks) + " " + ticks + "\n" + kCounterCaptions.time + " " + time + "\n" +
             kCounterCaptions.value + " " + value + "\n";
  }
  std::string status;
  std::string result;
};

// The commands that are one of the window's device commands, under its enable
// rule; what they show goes to standard output.
struct DeviceCommand {
  Command command;
  ActionId action;
  void (*run)(Programmer&, CommandReporter&);
};

const DeviceCommand kDeviceCommands[] = {
    {Command::Blank, ActionId::actFlashBlank, commands::BlankCheck},
    {Command::Size, ActionId::actFlashGetDeviceSize, commands::GetDeviceSize},
    {Command::Reset, ActionId::actDravolinReset, [](Programmer& p, CommandReporter&) { commands::ResetProgrammer(p); }},
    {Command::FlashReset, ActionId::actFlashFlashReset, commands::FlashReset},
    {Command::PldReset, ActionId::actPLDReset, [](Programmer& p, CommandReporter&) { commands::ResetPld(p); }},
    {Command::DevEnter, ActionId::actPLDDevEnter, commands::DevEnter},
    {Command::DevExit, ActionId::actPLDDevExit, commands::DevExit},
};

class Runner {
 public:
  Runner(const Options& options, Session& session, std::FILE* out, std::FILE* err)
      : o_(options), session_(session), out_(out), err_(err) {
    if (!o_.noLog)
      log_.path = o_.logPath.empty() ? OperationLog::DefaultPath() : o_.logPath;
    else
      log_.path.clear();
  }

  int Run() {
    switch (o_.command) {
      case Command::Info:
        Print(out_, o_.json ? InfoJson(session_, o_.flash) : InfoLines(session_, o_.flash));
        return kSuccess;
      case Command::Counter: return Counter();
      case Command::Read: return Read();
      case Command::Write: return Write();
      case Command::Erase: return Erase();
      case Command::Compare: return Compare();
      default: return OneDeviceCommand();
    }
  }

 private:
  int OneDeviceCommand() {
    for (const DeviceCommand& row : kDeviceCommands) {
      if (row.command != o_.command) continue;
      session_.Require(row.action);
      PrintingReporter reporter(out_);
      row.run(session_.Connection(), reporter);
      return reporter.failed ? kFailed : kSuccess;
    }
    throw Exception("Command without a handler.");
  }

  int Counter() {
    session_.Require(ActionId::actCounter);
    // The window's command does nothing without them; here that would print nothing at all.
    RequireEntries(session_.Library(), kCounterEntries);
    CounterLines lines;
    RunCounter(session_.Connection(), lines, '.');
    Print(out_, std::string(kCounterCaptions.status) + " " + lines.status);
    if (lines.result.empty()) return kFailed;  // "Time Out"
    Print(out_, lines.result);
    return kSuccess;
  }

  // A block-wise run: progress while it lasts, the closing message after it.
  template <typename Process>
  int RunProcess(const char* verb, Process&& process) {
    if (platform::Interrupted()) throw Exception("Stopped before the run began.");
    TerminalProgress progress(!o_.quiet && platform::StandardErrorIsTerminal(), verb, err_);
    struct EndLine {
      TerminalProgress& progress;
      ~EndLine() { progress.Finish(); }
    } endLine{progress};
    return process(progress);
  }

  int Ended(const ProcessResult& result, bool failed = false) {
    if (result.stopped) {
      Print(err_, result.message);
      return kFailed;
    }
    Print(out_, result.message);
    return failed ? kFailed : kSuccess;
  }

  int Read() {
    session_.Require(ActionId::actFlashRead);
    const DumpReadingParams params{o_.start, o_.size, o_.file};
    return RunProcess("Reading", [&](TerminalProgress& progress) {
      if (o_.passes <= 1) return Ended(RunDumpReading(session_.Target(), params, progress, log_));
      const MultiPassReadingResult result =
          RunMultiPassReading(session_.Target(), MultiPassReadingParams{params, o_.passes}, progress, log_);
      if (!result.process.stopped) {
        // Each unstable block once, where a later pass first read it otherwise.
        for (const std::uint32_t block : result.unstableBlocks) {
          for (const BlockDifference& difference : result.differences) {
            if (difference.block != block) continue;
            Print(out_, DifferenceText(difference));
            break;
          }
        }
      }
      return Ended(result.process, !result.saved);
    });
  }

  int Write() {
    session_.Require(ActionId::actFlashProgram);
    const DumpWritingParams params{o_.start, o_.size, o_.file, o_.verify};
    return RunProcess("Writing", [&](TerminalProgress& progress) {
      return Ended(RunDumpWriting(session_.Target(), params, progress, log_));
    });
  }

  int Erase() {
    session_.Require(ActionId::actFlashEraseSector);
    // The window's dialog asks for a start address and the block at which to stop.
    const SectorEraseParams params{static_cast<std::int32_t>(o_.firstBlock * nand::kBlockSize),
                                   static_cast<std::int32_t>(o_.lastBlock + 1), o_.verify};
    return RunProcess("Erasing", [&](TerminalProgress& progress) {
      return Ended(RunSectorErase(session_.Target(), params, progress, log_));
    });
  }

  int Compare() {
    session_.Require(ActionId::actFlashRead);
    const DumpComparingParams params{o_.start, o_.size, o_.file};
    return RunProcess("Comparing", [&](TerminalProgress& progress) {
      const DumpComparingResult result = RunDumpComparing(session_.Target(), params, progress, log_);
      if (!result.process.stopped) {
        std::size_t printed = 0;
        for (const BlockDifference& difference : result.differences) {
          if (printed == o_.maxReport) break;
          Print(out_, DifferenceText(difference));
          ++printed;
        }
        if (printed < result.differences.size())
          Print(out_, to_string(result.differences.size() - printed) + " more block/s differ" +
                          (o_.noLog ? "." : "; the log names them all."));
      }
      return Ended(result.process, !result.differences.empty());
    });
  }

  const Options& o_;
  Session& session_;
  std::FILE* out_;
  std::FILE* err_;
  LogSettings log_;
};

void PrintError(std::FILE* err, const std::string& message) { Print(err, ErrorBoxText(message)); }

}  // namespace

int RunCommandLine(const Options& options, std::FILE* out, std::FILE* err) {
  Session session(options);
  try {
    session.Open();
  } catch (const std::exception& error) {
    PrintError(err, error.what());
    return kUnavailable;
  }
  int code = kFailed;
  try {
    code = Runner(options, session, out, err).Run();
  } catch (const std::exception& error) {
    PrintError(err, error.what());
  }
  try {
    session.Close();
  } catch (const std::exception& error) {
    PrintError(err, error.what());
    code = kFailed;
  }
  return code;
}

}  // namespace selvarex::cli
