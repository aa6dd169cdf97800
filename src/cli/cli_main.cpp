// selvarex-cli: the Selvarex core on the command line (see --help).
#include <cstdio>

#include "cli/cli_options.h"
#include "cli/command_runner.h"
#include "device/platform_process.h"

int main(int argc, char** argv) {
  using namespace selvarex;
  platform::UseUtf8Console();
  const cli::Parsed parsed = cli::ParseArguments(platform::Utf8Arguments(argc, argv));
  std::fputs(parsed.out.c_str(), stdout);
  std::fputs(parsed.err.c_str(), stderr);
  if (!parsed.options) return parsed.exitCode;
  platform::CountInterrupts();
  return cli::RunCommandLine(*parsed.options);
}
