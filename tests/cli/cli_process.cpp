#include "cli/cli_process.h"

#include <atomic>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;
#endif

namespace selvarex::test {

namespace fs = std::filesystem;

namespace {

std::string Slurp(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::string text(std::istreambuf_iterator<char>(in), {});
  // Windows writes standard output in text mode.
  std::string plain;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    plain += text[i];
  }
  return plain;
}

fs::path NewOutputDir() {
  static std::atomic<unsigned> counter{0};
  for (;;) {
    const fs::path dir = fs::temp_directory_path() / ("selvarex-cli-output-" + std::to_string(std::random_device{}()) +
                                                      "-" + std::to_string(counter++));
    if (fs::create_directory(dir)) return dir;
  }
}

}  // namespace

fs::path CliProcess::Program() { return fs::path(SELVAREX_CLI_PATH); }

#ifdef _WIN32

namespace {

HANDLE Inheritable(const fs::path& path, bool write) {
  SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  return CreateFileW(path.wstring().c_str(), write ? GENERIC_WRITE : GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                     &inherit, write ? CREATE_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

CliProcess::CliProcess(const std::vector<std::string>&, ErrorOnTerminal) : outputDir_(NewOutputDir()) {
  throw std::logic_error("no pseudo-terminal on Windows");
}

CliProcess::CliProcess(const std::vector<std::string>& arguments) : outputDir_(NewOutputDir()) {
  std::wstring command = L"\"" + Program().wstring() + L"\"";
  for (const std::string& argument : arguments) command += L" \"" + fs::path(argument).wstring() + L"\"";
  HANDLE out = Inheritable(outputDir_ / "out", true);
  HANDLE err = Inheritable(outputDir_ / "err", true);
  HANDLE in = Inheritable("NUL", false);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = in;
  startup.hStdOutput = out;
  startup.hStdError = err;
  PROCESS_INFORMATION info{};
  const BOOL started = CreateProcessW(Program().wstring().c_str(), command.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                      nullptr, &startup, &info);
  CloseHandle(out);
  CloseHandle(err);
  CloseHandle(in);
  if (!started) throw std::runtime_error("cannot start " + Program().string());
  CloseHandle(info.hThread);
  process_ = reinterpret_cast<std::intptr_t>(info.hProcess);
}

CliRun CliProcess::Wait() {
  CliRun run;
  const auto process = reinterpret_cast<HANDLE>(process_);
  WaitForSingleObject(process, INFINITE);
  DWORD code = 0;
  GetExitCodeProcess(process, &code);
  waited_ = true;
  run.exitCode = static_cast<int>(code);
  run.out = Slurp(outputDir_ / "out");
  run.err = Slurp(outputDir_ / "err");
  return run;
}

void CliProcess::Interrupt() const { throw std::logic_error("no Ctrl+C for a program without a console"); }

CliProcess::~CliProcess() {
  const auto process = reinterpret_cast<HANDLE>(process_);
  if (!waited_) {
    TerminateProcess(process, 1);
    WaitForSingleObject(process, INFINITE);
  }
  CloseHandle(process);
  std::error_code ignored;
  fs::remove_all(outputDir_, ignored);
}

#else

CliProcess::CliProcess(const std::vector<std::string>& arguments) : outputDir_(NewOutputDir()) {
  Start(arguments, false);
}

CliProcess::CliProcess(const std::vector<std::string>& arguments, ErrorOnTerminal) : outputDir_(NewOutputDir()) {
  Start(arguments, true);
}

void CliProcess::Start(const std::vector<std::string>& arguments, bool errorOnTerminal) {
  std::string terminalName;
  if (errorOnTerminal) {
    terminal_ = posix_openpt(O_RDWR | O_NOCTTY);
    if (terminal_ < 0 || grantpt(terminal_) != 0 || unlockpt(terminal_) != 0)
      throw std::runtime_error("no pseudo-terminal");
    terminalName = ptsname(terminal_);
  }
  std::vector<std::string> argv{Program().string()};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  std::vector<char*> pointers;
  for (std::string& argument : argv) pointers.push_back(argument.data());
  pointers.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  const std::string out = (outputDir_ / "out").string();
  const std::string err = (outputDir_ / "err").string();
  posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  if (errorOnTerminal) {
    posix_spawn_file_actions_addopen(&actions, 2, terminalName.c_str(), O_RDWR | O_NOCTTY, 0);
  } else {
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  }
  // A process group of its own, as a shell gives a command it starts.
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
  posix_spawnattr_setpgroup(&attributes, 0);
  pid_t pid = -1;
  const int failed = posix_spawn(&pid, argv[0].c_str(), &actions, &attributes, pointers.data(), environ);
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
  if (failed != 0) throw std::runtime_error("cannot start " + argv[0]);
  process_ = pid;
}

CliRun CliProcess::Wait() {
  CliRun run;
  int status = 0;
  while (waitpid(static_cast<pid_t>(process_), &status, 0) < 0 && errno == EINTR) {
  }
  waited_ = true;
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  run.out = Slurp(outputDir_ / "out");
  if (terminal_ < 0) {
    run.err = Slurp(outputDir_ / "err");
    return run;
  }
  // What the terminal holds; once it is read, a read reports the closed side.
  char buffer[4096];
  for (;;) {
    pollfd ready{terminal_, POLLIN, 0};
    if (poll(&ready, 1, 0) <= 0) break;
    const ssize_t got = read(terminal_, buffer, sizeof buffer);
    if (got <= 0) break;
    run.err.append(buffer, static_cast<std::size_t>(got));
  }
  return run;
}

void CliProcess::Interrupt() const { kill(-static_cast<pid_t>(process_), SIGINT); }

CliProcess::~CliProcess() {
  if (!waited_) {
    kill(static_cast<pid_t>(process_), SIGKILL);
    int status = 0;
    waitpid(static_cast<pid_t>(process_), &status, 0);
  }
  if (terminal_ >= 0) close(terminal_);
  std::error_code ignored;
  fs::remove_all(outputDir_, ignored);
}

#endif

}  // namespace selvarex::test
