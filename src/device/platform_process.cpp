#include "device/platform_process.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "device/shared_ring.h"

#ifdef _WIN32
#include <windows.h>
#include <shellapi.h>
#else
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;
#endif

namespace selvarex::platform {

namespace {

// The program and its host talk through the shared streams of SharedRing,
// placed after the caller's shared buffer, with the pipe as doorbell. Before
// a reader sleeps it watches the stream for a moment: an answer that comes
// within it is taken without the wake-up of a sleeping process, which on a
// busy machine costs more than the whole call. The host watches for the next
// request as long, for the calls that follow each other (the rules' eight
// queries, a marker read and its erase), keeping its core: the program's own
// threads (the image file's) get it when the host goes into the library. The
// program watches for the answer to a call as long as the same kind of call
// took the last time, up to kLongestWatch (ExpectAnswerIn), letting other
// threads have its core now and then; it sleeps through longer calls.
constexpr std::chrono::microseconds kProgramSpin{250};
constexpr std::chrono::microseconds kHostSpin{250};
constexpr std::chrono::microseconds kLongestWatch{20'000};

bool ParseNumber(const char* text, std::uint64_t& value) {
  if (text == nullptr || *text < '0' || *text > '9') return false;
  char* end = nullptr;
  errno = 0;
  value = std::strtoull(text, &end, 10);
  return errno == 0 && end != nullptr && *end == '\0';
}

}  // namespace

#ifdef _WIN32

namespace {

void CloseIfOpen(HANDLE& handle) {
  if (handle != nullptr && handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
  handle = nullptr;
}

bool ReadPipe(HANDLE pipe, void* data, std::size_t size) {
  auto* at = static_cast<char*>(data);
  while (size > 0) {
    DWORD got = 0;
    const DWORD want = size > 0x10000000 ? 0x10000000 : static_cast<DWORD>(size);
    if (!ReadFile(pipe, at, want, &got, nullptr) || got == 0) return false;
    at += got;
    size -= got;
  }
  return true;
}

bool WritePipe(HANDLE pipe, const void* data, std::size_t size) {
  const auto* at = static_cast<const char*>(data);
  while (size > 0) {
    DWORD put = 0;
    const DWORD want = size > 0x10000000 ? 0x10000000 : static_cast<DWORD>(size);
    if (!WriteFile(pipe, at, want, &put, nullptr) || put == 0) return false;
    at += put;
    size -= put;
  }
  return true;
}

// The doorbell of the host's channel: a byte down one anonymous pipe wakes
// the other side, which sleeps reading the other pipe.
class PipeDoorbell final : public Doorbell {
 public:
  PipeDoorbell(HANDLE& reads, HANDLE& writes) : reads_(reads), writes_(writes) {}
  bool Ring() override {
    const char one = 1;
    return writes_ != nullptr && WritePipe(writes_, &one, 1);
  }
  Woken Sleep(std::optional<std::chrono::nanoseconds> limit) override {
    char rings[64];
    DWORD got = 0;
    if (!limit) return ReadFile(reads_, rings, sizeof rings, &got, nullptr) && got > 0 ? Woken::Rang : Woken::Gone;
    const auto deadline = std::chrono::steady_clock::now() + *limit;
    for (;;) {
      DWORD available = 0;
      if (!PeekNamedPipe(reads_, nullptr, 0, nullptr, &available, nullptr)) return Woken::Gone;
      if (available > 0) {
        const DWORD take = available < sizeof rings ? available : static_cast<DWORD>(sizeof rings);
        return ReadFile(reads_, rings, take, &got, nullptr) && got > 0 ? Woken::Rang : Woken::Gone;
      }
      if (std::chrono::steady_clock::now() >= deadline) return Woken::TimedOut;
      ::Sleep(1);
    }
  }

 private:
  HANDLE& reads_;
  HANDLE& writes_;
};

bool PipeReadable(HANDLE pipe, std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  for (;;) {
    DWORD available = 0;
    // A broken pipe counts as readable: the read then reports it.
    if (!PeekNamedPipe(pipe, nullptr, 0, nullptr, &available, nullptr) || available > 0) return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    Sleep(1);
  }
}

class WindowsChild final : public ChildProcess {
 public:
  ~WindowsChild() override {
    if (process_ != nullptr && !exited_) Kill();
    CloseIfOpen(toChild_);
    CloseIfOpen(fromChild_);
    CloseIfOpen(process_);
    // The job ends whatever the host may have started.
    CloseIfOpen(job_);
  }

  bool ReadExact(void* data, std::size_t size) override { return ring_->Read(data, size); }
  bool WriteAll(const void* data, std::size_t size) override { return toChild_ != nullptr && ring_->Write(data, size); }
  bool WaitReadable(std::chrono::milliseconds limit) override { return ring_->WaitReadable(limit); }
  void ExpectAnswerIn(std::chrono::microseconds expected) override {
    ring_->WatchNextRead(std::min<std::chrono::microseconds>(expected + kProgramSpin, kLongestWatch));
  }
  std::uint8_t* Shared() override { return mapping_.get(); }
  std::uint32_t SharedSize() const override { return sharedSize_; }
  std::shared_ptr<std::uint8_t> KeepShared() override { return mapping_; }
  void CloseChannel() override { CloseIfOpen(toChild_); }

  std::optional<ExitStatus> WaitForExit(std::chrono::milliseconds limit) override {
    if (!exited_) {
      const DWORD ms = static_cast<DWORD>(limit.count());
      if (WaitForSingleObject(process_, ms) != WAIT_OBJECT_0) return std::nullopt;
      Reap();
    }
    return status_;
  }

  ExitStatus Kill() override {
    if (!exited_) {
      TerminateProcess(process_, 1);
      WaitForSingleObject(process_, INFINITE);
      Reap();
    }
    return status_;
  }

  HANDLE toChild_ = nullptr;
  HANDLE fromChild_ = nullptr;
  HANDLE process_ = nullptr;
  HANDLE job_ = nullptr;
  std::shared_ptr<std::uint8_t> mapping_;  // the view; unmapped once nobody holds it
  std::uint32_t sharedSize_ = 0;
  PipeDoorbell bell_{fromChild_, toChild_};
  std::unique_ptr<SharedRing> ring_;

 private:
  void Reap() {
    DWORD code = 0;
    GetExitCodeProcess(process_, &code);
    status_ = ExitStatus{false, code};
    exited_ = true;
  }

  bool exited_ = false;
  ExitStatus status_;
};

class WindowsParent final : public ParentChannel {
 public:
  ~WindowsParent() override {
    if (view_ != nullptr) UnmapViewOfFile(view_);
  }
  bool ReadExact(void* data, std::size_t size) override { return ring_->Read(data, size); }
  bool WriteAll(const void* data, std::size_t size) override { return ring_->Write(data, size); }
  bool WaitReadable(std::chrono::milliseconds limit) override { return ring_->WaitReadable(limit); }
  std::uint8_t* Shared() override { return view_; }
  std::uint32_t SharedSize() const override { return sharedSize_; }

  HANDLE fromParent_ = nullptr;
  HANDLE toParent_ = nullptr;
  std::uint8_t* view_ = nullptr;
  std::uint32_t sharedSize_ = 0;
  PipeDoorbell bell_{fromParent_, toParent_};
  std::unique_ptr<SharedRing> ring_;
};

class WindowsHandleChannel final : public Channel {
 public:
  explicit WindowsHandleChannel(HANDLE pipe) : pipe_(pipe) {}
  ~WindowsHandleChannel() override { CloseHandle(pipe_); }
  bool ReadExact(void* data, std::size_t size) override { return ReadPipe(pipe_, data, size); }
  bool WriteAll(const void* data, std::size_t size) override { return WritePipe(pipe_, data, size); }
  bool WaitReadable(std::chrono::milliseconds limit) override { return PipeReadable(pipe_, limit); }
  std::uint8_t* Shared() override { return nullptr; }
  std::uint32_t SharedSize() const override { return 0; }

 private:
  HANDLE pipe_;
};

std::wstring QuotedArgument(const std::wstring& text) { return L"\"" + text + L"\""; }

}  // namespace

namespace {

std::atomic<int> interrupts{0};

BOOL WINAPI OnConsoleControl(DWORD event) {
  if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) return FALSE;
  // FALSE hands the second one to the system, which ends the program.
  return interrupts.fetch_add(1) == 0 ? TRUE : FALSE;
}

UINT consoleCodePage = 0;

void RestoreConsoleCodePage() { SetConsoleOutputCP(consoleCodePage); }

}  // namespace

bool StandardErrorIsTerminal() {
  DWORD mode = 0;
  return GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &mode) != 0;
}

void CountInterrupts() { SetConsoleCtrlHandler(OnConsoleControl, TRUE); }

bool Interrupted() { return interrupts.load() > 0; }

std::vector<std::string> Utf8Arguments(int argc, char** argv) {
  int count = 0;
  LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (wide == nullptr) return std::vector<std::string>(argv, argv + argc);
  std::vector<std::string> arguments;
  for (int i = 0; i < count; ++i) {
    const int length = WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(length > 0 ? length : 1), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, utf8.data(), length, nullptr, nullptr);
    utf8.resize(std::strlen(utf8.c_str()));
    arguments.push_back(utf8);
  }
  LocalFree(wide);
  return arguments;
}

void UseUtf8Console() {
  consoleCodePage = GetConsoleOutputCP();
  if (consoleCodePage == 0 || consoleCodePage == CP_UTF8) return;
  if (SetConsoleOutputCP(CP_UTF8)) std::atexit(RestoreConsoleCodePage);
}

std::filesystem::path ExecutablePath() {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return {};
    if (length < buffer.size()) return std::filesystem::path(std::wstring(buffer.data(), length));
    buffer.resize(buffer.size() * 2);
  }
}

const char* HostProgramName() { return "selvarex-libhost.exe"; }

std::unique_ptr<Channel> ChannelOver(std::intptr_t osHandle) {
  return std::make_unique<WindowsHandleChannel>(reinterpret_cast<HANDLE>(osHandle));
}

std::unique_ptr<ChildProcess> ChildProcess::Start(const std::filesystem::path& program, std::uint32_t sharedBytes,
                                                  OsError& error) {
  auto child = std::make_unique<WindowsChild>();
  SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  HANDLE childReads = nullptr;
  HANDLE childWrites = nullptr;
  HANDLE mapping = nullptr;
  auto fail = [&]() -> std::unique_ptr<ChildProcess> {
    error = LastOsError();
    CloseIfOpen(childReads);
    CloseIfOpen(childWrites);
    CloseIfOpen(mapping);
    return nullptr;
  };
  // Anonymous pipes and an unnamed mapping: nothing another process could open.
  if (!CreatePipe(&childReads, &child->toChild_, &inherit, 0)) return fail();
  if (!CreatePipe(&child->fromChild_, &childWrites, &inherit, 0)) return fail();
  SetHandleInformation(child->toChild_, HANDLE_FLAG_INHERIT, 0);
  SetHandleInformation(child->fromChild_, HANDLE_FLAG_INHERIT, 0);
  const DWORD mappedBytes = sharedBytes + kSharedRingBytes;
  mapping = CreateFileMappingW(INVALID_HANDLE_VALUE, &inherit, PAGE_READWRITE, 0, mappedBytes, nullptr);
  if (mapping == nullptr) return fail();
  auto* const view = static_cast<std::uint8_t*>(MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, mappedBytes));
  if (view == nullptr) return fail();
  child->mapping_ = std::shared_ptr<std::uint8_t>(view, [](std::uint8_t* mapped) { UnmapViewOfFile(mapped); });
  child->sharedSize_ = sharedBytes;
  child->ring_ = std::make_unique<SharedRing>(view + sharedBytes, true, child->bell_, kProgramSpin, true);

  // Exactly these three handles reach the host, whatever else is inheritable.
  HANDLE handed[] = {childReads, childWrites, mapping};
  SIZE_T listBytes = 0;
  InitializeProcThreadAttributeList(nullptr, 1, 0, &listBytes);
  std::vector<unsigned char> listMemory(listBytes);
  auto* list = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(listMemory.data());
  if (!InitializeProcThreadAttributeList(list, 1, 0, &listBytes)) return fail();
  struct ListGuard {
    LPPROC_THREAD_ATTRIBUTE_LIST list;
    ~ListGuard() { DeleteProcThreadAttributeList(list); }
  } guard{list};
  if (!UpdateProcThreadAttribute(list, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, handed, sizeof handed, nullptr, nullptr))
    return fail();

  auto number = [](HANDLE h) { return std::to_wstring(reinterpret_cast<std::uintptr_t>(h)); };
  std::wstring command = QuotedArgument(program.wstring()) + L" --serve " + number(childReads) + L" " +
                         number(childWrites) + L" " + number(mapping) + L" " + std::to_wstring(sharedBytes);
  STARTUPINFOEXW startup{};
  startup.StartupInfo.cb = sizeof startup;
  startup.lpAttributeList = list;
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(program.wstring().c_str(), command.data(), nullptr, nullptr, TRUE,
                      EXTENDED_STARTUPINFO_PRESENT | CREATE_NO_WINDOW | CREATE_SUSPENDED, nullptr, nullptr,
                      &startup.StartupInfo, &info))
    return fail();
  child->process_ = info.hProcess;
  // A job that ends the host with the program, should the program die first.
  child->job_ = CreateJobObjectW(nullptr, nullptr);
  if (child->job_ != nullptr) {
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (!SetInformationJobObject(child->job_, JobObjectExtendedLimitInformation, &limits, sizeof limits) ||
        !AssignProcessToJobObject(child->job_, info.hProcess)) {
      CloseIfOpen(child->job_);
    }
  }
  ResumeThread(info.hThread);
  CloseHandle(info.hThread);
  CloseIfOpen(childReads);
  CloseIfOpen(childWrites);
  CloseIfOpen(mapping);
  return child;
}

std::unique_ptr<ParentChannel> ParentChannel::FromArguments(int argc, char** argv) {
  if (argc != 6 || std::strcmp(argv[1], "--serve") != 0) return nullptr;
  std::uint64_t fromParent = 0, toParent = 0, mapping = 0, size = 0;
  if (!ParseNumber(argv[2], fromParent) || !ParseNumber(argv[3], toParent) || !ParseNumber(argv[4], mapping) ||
      !ParseNumber(argv[5], size) || size == 0 || size % 64 != 0 || size > 0xFFFFFFFFu - kSharedRingBytes)
    return nullptr;
  auto channel = std::make_unique<WindowsParent>();
  channel->fromParent_ = reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(fromParent));
  channel->toParent_ = reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(toParent));
  const auto mappingHandle = reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(mapping));
  for (HANDLE pipe : {channel->fromParent_, channel->toParent_}) {
    if (GetFileType(pipe) != FILE_TYPE_PIPE) return nullptr;
    // Nothing the library starts may hold the channel open.
    SetHandleInformation(pipe, HANDLE_FLAG_INHERIT, 0);
  }
  channel->view_ = static_cast<std::uint8_t*>(
      MapViewOfFile(mappingHandle, FILE_MAP_ALL_ACCESS, 0, 0, static_cast<SIZE_T>(size + kSharedRingBytes)));
  CloseHandle(mappingHandle);
  if (channel->view_ == nullptr) return nullptr;
  channel->sharedSize_ = static_cast<std::uint32_t>(size);
  channel->ring_ = std::make_unique<SharedRing>(channel->view_ + size, false, channel->bell_, kHostSpin, false);
  return channel;
}

#else

namespace {

OsError ErrnoError(int code) {
  OsError error;
  error.code = static_cast<std::uint32_t>(code);
  error.text = std::strerror(code);
  return error;
}

bool ReadSocket(int fd, void* data, std::size_t size) {
  auto* at = static_cast<char*>(data);
  while (size > 0) {
    const ssize_t got = recv(fd, at, size, 0);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;
    at += got;
    size -= static_cast<std::size_t>(got);
  }
  return true;
}

bool WriteSocket(int fd, const void* data, std::size_t size) {
  const auto* at = static_cast<const char*>(data);
  while (size > 0) {
    // No SIGPIPE when the other process is gone: the write just fails.
    const ssize_t put = send(fd, at, size, MSG_NOSIGNAL);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return false;
    at += put;
    size -= static_cast<std::size_t>(put);
  }
  return true;
}

bool SocketReadable(int fd, std::chrono::milliseconds limit) {
  pollfd watched{fd, POLLIN, 0};
  for (;;) {
    const int ready = poll(&watched, 1, static_cast<int>(limit.count()));
    if (ready < 0 && errno == EINTR) continue;
    return ready != 0;
  }
}

// The doorbell of the host's channel: a byte over the socket pair wakes the
// other side, which sleeps reading it.
class SocketDoorbell final : public Doorbell {
 public:
  explicit SocketDoorbell(int& socket) : socket_(socket) {}
  bool Ring() override {
    const char one = 1;
    for (;;) {
      const ssize_t put = send(socket_, &one, 1, MSG_NOSIGNAL | MSG_DONTWAIT);
      if (put == 1) return true;
      if (put < 0 && errno == EINTR) continue;
      // A socket full of rings has woken the other side many times over.
      return put < 0 && (errno == EAGAIN || errno == EWOULDBLOCK);
    }
  }
  Woken Sleep(std::optional<std::chrono::nanoseconds> limit) override {
    pollfd watched{socket_, POLLIN, 0};
    timespec time{};
    if (limit) {
      time.tv_sec = static_cast<time_t>(limit->count() / 1'000'000'000);
      time.tv_nsec = static_cast<long>(limit->count() % 1'000'000'000);
    }
    const int ready = ppoll(&watched, 1, limit ? &time : nullptr, nullptr);
    if (ready == 0) return Woken::TimedOut;
    // A signal: the caller looks again.
    if (ready < 0) return errno == EINTR ? Woken::Rang : Woken::Gone;
    char rings[64];
    const ssize_t got = recv(socket_, rings, sizeof rings, MSG_DONTWAIT);
    if (got > 0) return Woken::Rang;
    if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) return Woken::Rang;
    return Woken::Gone;
  }

 private:
  int& socket_;
};

class PosixChild final : public ChildProcess {
 public:
  ~PosixChild() override {
    if (pid_ > 0 && !exited_) Kill();
    if (socket_ >= 0) close(socket_);
  }

  bool ReadExact(void* data, std::size_t size) override { return ring_->Read(data, size); }
  bool WriteAll(const void* data, std::size_t size) override { return !writeClosed_ && ring_->Write(data, size); }
  bool WaitReadable(std::chrono::milliseconds limit) override { return ring_->WaitReadable(limit); }
  void ExpectAnswerIn(std::chrono::microseconds expected) override {
    ring_->WatchNextRead(std::min<std::chrono::microseconds>(expected + kProgramSpin, kLongestWatch));
  }
  std::uint8_t* Shared() override { return mapping_.get(); }
  std::uint32_t SharedSize() const override { return sharedSize_; }
  std::shared_ptr<std::uint8_t> KeepShared() override { return mapping_; }
  void CloseChannel() override {
    if (!writeClosed_) shutdown(socket_, SHUT_WR);
    writeClosed_ = true;
  }

  std::optional<ExitStatus> WaitForExit(std::chrono::milliseconds limit) override {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!exited_) {
      int status = 0;
      const pid_t done = waitpid(pid_, &status, WNOHANG);
      if (done == pid_) {
        Reaped(status);
      } else if (done < 0 && errno != EINTR) {
        // Reaped elsewhere: its status is lost.
        exited_ = true;
      } else if (std::chrono::steady_clock::now() >= deadline) {
        return std::nullopt;
      } else {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
      }
    }
    return status_;
  }

  ExitStatus Kill() override {
    if (!exited_) {
      kill(pid_, SIGKILL);
      int status = 0;
      pid_t done = 0;
      do {
        done = waitpid(pid_, &status, 0);
      } while (done < 0 && errno == EINTR);
      if (done == pid_) {
        Reaped(status);
      } else {
        exited_ = true;
      }
    }
    return status_;
  }

  pid_t pid_ = -1;
  int socket_ = -1;
  std::shared_ptr<std::uint8_t> mapping_;  // the view; unmapped once nobody holds it
  std::uint32_t sharedSize_ = 0;
  SocketDoorbell bell_{socket_};
  std::unique_ptr<SharedRing> ring_;

 private:
  void Reaped(int status) {
    if (WIFSIGNALED(status)) {
      status_ = ExitStatus{true, static_cast<std::uint32_t>(WTERMSIG(status))};
    } else {
      status_ = ExitStatus{false, static_cast<std::uint32_t>(WEXITSTATUS(status))};
    }
    exited_ = true;
  }

  bool exited_ = false;
  bool writeClosed_ = false;
  ExitStatus status_;
};

class PosixParent final : public ParentChannel {
 public:
  ~PosixParent() override {
    if (view_ != nullptr) munmap(view_, std::size_t{sharedSize_} + kSharedRingBytes);
    if (socket_ >= 0) close(socket_);
  }
  bool ReadExact(void* data, std::size_t size) override { return ring_->Read(data, size); }
  bool WriteAll(const void* data, std::size_t size) override { return ring_->Write(data, size); }
  bool WaitReadable(std::chrono::milliseconds limit) override { return ring_->WaitReadable(limit); }
  std::uint8_t* Shared() override { return view_; }
  std::uint32_t SharedSize() const override { return sharedSize_; }

  int socket_ = -1;
  std::uint8_t* view_ = nullptr;
  std::uint32_t sharedSize_ = 0;
  SocketDoorbell bell_{socket_};
  std::unique_ptr<SharedRing> ring_;
};

class PosixSocketChannel final : public Channel {
 public:
  explicit PosixSocketChannel(int fd) : fd_(fd) {}
  ~PosixSocketChannel() override { close(fd_); }
  bool ReadExact(void* data, std::size_t size) override { return ReadSocket(fd_, data, size); }
  bool WriteAll(const void* data, std::size_t size) override { return WriteSocket(fd_, data, size); }
  bool WaitReadable(std::chrono::milliseconds limit) override { return SocketReadable(fd_, limit); }
  std::uint8_t* Shared() override { return nullptr; }
  std::uint32_t SharedSize() const override { return 0; }

 private:
  int fd_;
};

// The host finds its channel and its buffer at these descriptors.
constexpr int kChannelFd = 3;
constexpr int kSharedFd = 4;

}  // namespace

namespace {

volatile sig_atomic_t interrupts = 0;

void OnInterrupt(int signal) {
  if (interrupts != 0) {
    // The second one gets the default action: the program ends.
    std::signal(signal, SIG_DFL);
    std::raise(signal);
    return;
  }
  interrupts = 1;
}

}  // namespace

bool StandardErrorIsTerminal() { return isatty(STDERR_FILENO) == 1; }

void CountInterrupts() {
  struct sigaction action {};
  action.sa_handler = OnInterrupt;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
}

bool Interrupted() { return interrupts != 0; }

std::vector<std::string> Utf8Arguments(int argc, char** argv) { return std::vector<std::string>(argv, argv + argc); }

// Terminals here take the locale's UTF-8 as it is.
void UseUtf8Console() {}

std::filesystem::path ExecutablePath() {
  std::error_code ignored;
  return std::filesystem::read_symlink("/proc/self/exe", ignored);
}

const char* HostProgramName() { return "selvarex-libhost"; }

std::unique_ptr<Channel> ChannelOver(std::intptr_t osHandle) {
  return std::make_unique<PosixSocketChannel>(static_cast<int>(osHandle));
}

std::unique_ptr<ChildProcess> ChildProcess::Start(const std::filesystem::path& program, std::uint32_t sharedBytes,
                                                  OsError& error) {
  auto child = std::make_unique<PosixChild>();
  int ends[2] = {-1, -1};
  int memory = -1;
  int childEnd = -1;
  int childMemory = -1;
  auto closeAll = [&] {
    for (int fd : {ends[1], memory, childEnd, childMemory}) {
      if (fd >= 0) close(fd);
    }
  };
  auto fail = [&](int code) -> std::unique_ptr<ChildProcess> {
    error = ErrnoError(code);
    closeAll();
    return nullptr;
  };
  // An unnamed socket pair and an anonymous memory file: nothing another
  // process could open by name.
  if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0) return fail(errno);
  child->socket_ = ends[0];
  memory = memfd_create("selvarex-library-host", MFD_CLOEXEC);
  if (memory < 0) return fail(errno);
  const std::size_t mappedBytes = std::size_t{sharedBytes} + kSharedRingBytes;
  if (ftruncate(memory, static_cast<off_t>(mappedBytes)) != 0) return fail(errno);
  void* view = mmap(nullptr, mappedBytes, PROT_READ | PROT_WRITE, MAP_SHARED, memory, 0);
  if (view == MAP_FAILED) return fail(errno);
  auto* const mapped = static_cast<std::uint8_t*>(view);
  child->mapping_ = std::shared_ptr<std::uint8_t>(mapped, [mappedBytes](std::uint8_t* m) { munmap(m, mappedBytes); });
  child->sharedSize_ = sharedBytes;
  child->ring_ = std::make_unique<SharedRing>(mapped + sharedBytes, true, child->bell_, kProgramSpin, true);

  // Above the fixed numbers, so the child's dup2 always clears close-on-exec.
  childEnd = fcntl(ends[1], F_DUPFD_CLOEXEC, 10);
  childMemory = fcntl(memory, F_DUPFD_CLOEXEC, 10);
  if (childEnd < 0 || childMemory < 0) return fail(errno);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, childEnd, kChannelFd);
  posix_spawn_file_actions_adddup2(&actions, childMemory, kSharedFd);
  // Exactly these two reach the host, whatever else lacks close-on-exec.
  posix_spawn_file_actions_addclosefrom_np(&actions, kSharedFd + 1);
  const std::string path = program.string();
  const std::string size = std::to_string(sharedBytes);
  std::string arguments[] = {path, "--serve", std::to_string(kChannelFd), std::to_string(kSharedFd), size};
  char* argv[] = {arguments[0].data(), arguments[1].data(), arguments[2].data(),
                  arguments[3].data(), arguments[4].data(), nullptr};
  // A process group of its own: Ctrl+C in a terminal reaches the program,
  // which decides what to stop, and never the host in the middle of a call.
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
  posix_spawnattr_setpgroup(&attributes, 0);
  pid_t pid = -1;
  const int spawned = posix_spawn(&pid, path.c_str(), &actions, &attributes, argv, environ);
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) return fail(spawned);
  child->pid_ = pid;
  closeAll();
  return child;
}

std::unique_ptr<ParentChannel> ParentChannel::FromArguments(int argc, char** argv) {
  std::uint64_t channelFd = 0, sharedFd = 0, size = 0;
  if (argc != 5 || std::strcmp(argv[1], "--serve") != 0 || !ParseNumber(argv[2], channelFd) ||
      !ParseNumber(argv[3], sharedFd) || !ParseNumber(argv[4], size) || size == 0 || size % 64 != 0 ||
      size > 0xFFFFFFFFu - kSharedRingBytes || channelFd > 1024 || sharedFd > 1024)
    return nullptr;
  const int socketFd = static_cast<int>(channelFd);
  const int memoryFd = static_cast<int>(sharedFd);
  struct stat info {};
  if (fstat(socketFd, &info) != 0 || !S_ISSOCK(info.st_mode)) return nullptr;
  if (fstat(memoryFd, &info) != 0 || static_cast<std::uint64_t>(info.st_size) < size + kSharedRingBytes) return nullptr;
  auto channel = std::make_unique<PosixParent>();
  channel->socket_ = socketFd;
  void* view = mmap(nullptr, size + kSharedRingBytes, PROT_READ | PROT_WRITE, MAP_SHARED, memoryFd, 0);
  close(memoryFd);
  if (view == MAP_FAILED) return nullptr;
  channel->view_ = static_cast<std::uint8_t*>(view);
  channel->sharedSize_ = static_cast<std::uint32_t>(size);
  channel->ring_ = std::make_unique<SharedRing>(channel->view_ + size, false, channel->bell_, kHostSpin, false);
  // Nothing the library starts may hold the channel open, and the host goes
  // with the program even while a library call keeps it from reading.
  fcntl(socketFd, F_SETFD, FD_CLOEXEC);
  prctl(PR_SET_PDEATHSIG, SIGKILL);
  if (getppid() == 1) return nullptr;
  return channel;
}

#endif

void CpuRelax() {
#if defined(__i386__) || defined(__x86_64__)
  __builtin_ia32_pause();
#elif defined(_MSC_VER)
  YieldProcessor();
#endif
}

}  // namespace selvarex::platform
