// Usage errors and the manual: a wrong command line is refused before
// anything is touched.
#include "cli/cli_fixture.h"

namespace selvarex::test {
namespace {

struct UsageCase {
  const char* what;
  std::vector<std::string> arguments;
  const char* problem;  // part of the message on standard error
  const char* usage;    // the usage line
};
void PrintTo(const UsageCase& c, std::ostream* out) { *out << c.what; }

const UsageCase kUsageErrors[] = {
    {"no command", {}, "A subcommand is required", "Usage: selvarex-cli [OPTIONS] COMMAND [ARGS]"},
    {"unknown command", {"dump"}, "\"dump\" is not a command", "Usage: selvarex-cli [OPTIONS] COMMAND [ARGS]"},
    {"unknown option",
     {"read", "image.bin", "--fast"},
     "--fast",
     "Usage: selvarex-cli [OPTIONS] read FILE [--start N] [--size N] [--passes K]"},
    {"missing file",
     {"write"},
     "FILE",
     "Usage: selvarex-cli [OPTIONS] write FILE [--start N] [--size N] [--no-verify]"},
    {"missing file of compare",
     {"compare", "--size", "0x10"},
     "FILE",
     "Usage: selvarex-cli [OPTIONS] compare FILE [--start N] [--size N] [--max-report N]"},
    {"word for a number", {"read", "image.bin", "--start", "abc"}, "--start: \"abc\" is not a number", "read FILE"},
    {"negative number", {"read", "image.bin", "--size", "-1"}, "--size: \"-1\" is not a number", "read FILE"},
    {"beyond 32 bits signed", {"write", "image.bin", "--size", "2147483648"}, "--size: \"2147483648\"", "write FILE"},
    {"hexadecimal beyond",
     {"compare", "image.bin", "--start", "0x80000000"},
     "--start: \"0x80000000\"",
     "compare FILE"},
    {"beyond 64 bits", {"read", "image.bin", "--start", "99999999999999999999999"}, "--start:", "read FILE"},
    {"hexadecimal without digits", {"read", "image.bin", "--size", "0x"}, "--size: \"0x\"", "read FILE"},
    {"blank in a number", {"read", "image.bin", "--size", " 5"}, "--size: \" 5\"", "read FILE"},
    {"flash beyond 1", {"--flash", "2", "info"}, "--flash: \"2\" is neither 0 nor 1", "info [--json]"},
    {"no passes", {"read", "image.bin", "--passes", "0"}, "--passes: \"0\" is not from 1 to 100", "read FILE"},
    {"erase block overflowing 32 bits", {"erase", "--last", "31775"}, "--last: block 31775", "erase [--first BLOCK]"},
    {"erase address beyond signed",
     {"erase", "--first", "15888", "--last", "15888"},
     "--first: block 15888",
     "erase [--first BLOCK]"},
    {"erase backwards",
     {"erase", "--first", "10", "--last", "9"},
     "--last: block 9 comes before --first block 10",
     "erase [--first BLOCK]"},
    {"log and no log", {"--no-log", "--log", "x.txt", "erase"}, "excludes", "Usage: selvarex-cli"},
    {"option of another command", {"erase", "--passes", "2"}, "--passes", "erase [--first BLOCK]"},
};

class CliUsage : public CliTest, public ::testing::WithParamInterface<UsageCase> {};

TEST_P(CliUsage, PrintsTheProblemAndTheUsageLineAndTouchesNothing) {
  const UsageCase& c = GetParam();
  const std::set<std::string> before = Files();
  const CliRun run = RunCli(c.arguments);
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_NE(run.err.find(c.problem), std::string::npos) << run.err;
  EXPECT_NE(run.err.find(c.usage), std::string::npos) << run.err;
  EXPECT_EQ(run.out, "");
  // No library loaded (not one call), no log, no file.
  EXPECT_EQ(sim.SimCtl_TotalCalls(), 0u);
  EXPECT_TRUE(dir.Relay()->Hosts().empty());
  EXPECT_EQ(Files(), before);
}

INSTANTIATE_TEST_SUITE_P(Cases, CliUsage, ::testing::ValuesIn(kUsageErrors),
                         [](const ::testing::TestParamInfo<UsageCase>& info) {
                           std::string name = info.param.what;
                           for (char& c : name)
                             if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                           return name;
                         });

TEST_F(CliTest, HelpIsTheManualOfEveryCommandAndOption) {
  const CliRun run = RunCli({"--help"});
  EXPECT_EQ(run.exitCode, 0);
  for (const char* text :
       {"info",        "read",      "write",       "erase",    "compare", "blank",     "size",           "reset",
        "flash-reset", "pld-reset", "dev-enter",   "dev-exit", "counter", "--library", "--log",          "--no-log",
        "--flash",     "--quiet",   "Exit codes:", "Ctrl+C",   "0x",      "135168",    "DravolinLog.txt"})
    EXPECT_NE(run.out.find(text), std::string::npos) << text;
  const std::pair<const char*, std::vector<const char*>> commands[] = {
      {"read", {"FILE", "--start", "--size", "--passes"}},
      {"write", {"FILE", "--start", "--size", "--no-verify"}},
      {"erase", {"--first", "--last", "--no-verify"}},
      {"compare", {"FILE", "--start", "--size", "--max-report"}},
      {"info", {"--json"}},
  };
  for (const auto& [command, options] : commands) {
    const CliRun help = RunCli({command, "--help"});
    EXPECT_EQ(help.exitCode, 0) << command;
    for (const char* option : options) EXPECT_NE(help.out.find(option), std::string::npos) << command << " " << option;
  }
  EXPECT_EQ(sim.SimCtl_TotalCalls(), 0u);
}

}  // namespace
}  // namespace selvarex::test
