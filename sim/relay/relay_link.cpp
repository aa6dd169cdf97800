#include "relay_link.h"

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>

#ifdef _WIN32
#include <windows.h>
#include <stdlib.h>
#else
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#endif

namespace sim::relay {

namespace {

std::atomic<unsigned> endpointCounter{0};

using selvarex::platform::ChannelOver;

}  // namespace

#ifdef _WIN32

namespace {

class PipeConnection final : public Connection {
 public:
  explicit PipeConnection(HANDLE pipe) : pipe_(pipe), channel_(ChannelOver(reinterpret_cast<std::intptr_t>(pipe))) {}
  selvarex::platform::Channel& Channel() override { return *channel_; }
  void Cut() override {
    FlushFileBuffers(pipe_);
    DisconnectNamedPipe(pipe_);
  }
  std::uint32_t PeerProcessId() const override {
    ULONG pid = 0;
    GetNamedPipeClientProcessId(pipe_, &pid);
    return pid;
  }

 private:
  HANDLE pipe_;  // owned by the channel
  std::unique_ptr<selvarex::platform::Channel> channel_;
};

class PipeListener final : public Listener {
 public:
  explicit PipeListener(std::string name) : name_(std::move(name)) {}
  std::unique_ptr<Connection> Accept() override {
    for (;;) {
      if (stopped_) return nullptr;
      HANDLE pipe = CreateNamedPipeA(name_.c_str(), PIPE_ACCESS_DUPLEX, PIPE_TYPE_BYTE | PIPE_WAIT,
                                     PIPE_UNLIMITED_INSTANCES, 1 << 16, 1 << 16, 0, nullptr);
      if (pipe == INVALID_HANDLE_VALUE) return nullptr;
      const bool connected = ConnectNamedPipe(pipe, nullptr) || GetLastError() == ERROR_PIPE_CONNECTED;
      if (stopped_) {
        CloseHandle(pipe);
        return nullptr;
      }
      if (connected) return std::make_unique<PipeConnection>(pipe);
      CloseHandle(pipe);
    }
  }
  void Stop() override {
    stopped_ = true;
    // Wakes a waiting ConnectNamedPipe.
    HANDLE wake = CreateFileA(name_.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (wake != INVALID_HANDLE_VALUE) CloseHandle(wake);
  }

 private:
  std::string name_;
  std::atomic<bool> stopped_{false};
};

}  // namespace

std::string NewEndpoint(const std::filesystem::path&) {
  return "\\\\.\\pipe\\selvarex-sim-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(endpointCounter++);
}

void SetEnv(const char* name, const std::string& value) { _putenv_s(name, value.c_str()); }

std::unique_ptr<selvarex::platform::Channel> Connect(const std::string& endpoint) {
  for (int attempt = 0; attempt < 200; ++attempt) {
    HANDLE pipe = CreateFileA(endpoint.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (pipe != INVALID_HANDLE_VALUE) return ChannelOver(reinterpret_cast<std::intptr_t>(pipe));
    // Between two instances of the listener's pipe.
    const DWORD error = GetLastError();
    if (error != ERROR_PIPE_BUSY && error != ERROR_FILE_NOT_FOUND) return nullptr;
    if (!WaitNamedPipeA(endpoint.c_str(), 50)) Sleep(10);
  }
  return nullptr;
}

std::unique_ptr<Listener> Listener::Open(const std::string& endpoint) {
  return std::make_unique<PipeListener>(endpoint);
}

void KillProcess(std::uint32_t pid) {
  HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid);
  if (process == nullptr) return;
  // The code an access violation ends a process with.
  TerminateProcess(process, 0xC0000005);
  WaitForSingleObject(process, 10000);
  CloseHandle(process);
}

bool SuspendProcess(std::uint32_t) { return false; }

bool ProcessExists(std::uint32_t pid) {
  HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
  if (process == nullptr) return false;
  const bool running = WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
  CloseHandle(process);
  return running;
}

#else

namespace {

class SocketConnection final : public Connection {
 public:
  explicit SocketConnection(int fd) : fd_(fd), channel_(ChannelOver(fd)) {}
  selvarex::platform::Channel& Channel() override { return *channel_; }
  void Cut() override { shutdown(fd_, SHUT_RDWR); }
  std::uint32_t PeerProcessId() const override {
    ucred peer{};
    socklen_t size = sizeof peer;
    if (getsockopt(fd_, SOL_SOCKET, SO_PEERCRED, &peer, &size) != 0) return 0;
    return static_cast<std::uint32_t>(peer.pid);
  }

 private:
  int fd_;  // owned by the channel
  std::unique_ptr<selvarex::platform::Channel> channel_;
};

sockaddr_un AddressOf(const std::string& endpoint) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strncpy(address.sun_path, endpoint.c_str(), sizeof address.sun_path - 1);
  return address;
}

class SocketListener final : public Listener {
 public:
  SocketListener(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}
  ~SocketListener() override {
    close(fd_);
    unlink(path_.c_str());
  }
  std::unique_ptr<Connection> Accept() override {
    while (!stopped_) {
      pollfd watched{fd_, POLLIN, 0};
      if (poll(&watched, 1, 20) <= 0) continue;
      const int fd = accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC);
      if (fd >= 0) return std::make_unique<SocketConnection>(fd);
    }
    return nullptr;
  }
  void Stop() override { stopped_ = true; }

 private:
  int fd_;
  std::string path_;
  std::atomic<bool> stopped_{false};
};

}  // namespace

std::string NewEndpoint(const std::filesystem::path& dir) {
  return (dir / ("relay-" + std::to_string(endpointCounter++) + ".sock")).string();
}

void SetEnv(const char* name, const std::string& value) {
  if (value.empty()) {
    unsetenv(name);
  } else {
    setenv(name, value.c_str(), 1);
  }
}

std::unique_ptr<selvarex::platform::Channel> Connect(const std::string& endpoint) {
  const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return nullptr;
  const sockaddr_un address = AddressOf(endpoint);
  if (connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
    close(fd);
    return nullptr;
  }
  return ChannelOver(fd);
}

std::unique_ptr<Listener> Listener::Open(const std::string& endpoint) {
  const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return nullptr;
  const sockaddr_un address = AddressOf(endpoint);
  unlink(endpoint.c_str());
  if (bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 || listen(fd, 4) != 0) {
    close(fd);
    return nullptr;
  }
  return std::make_unique<SocketListener>(fd, endpoint);
}

void KillProcess(std::uint32_t pid) { kill(static_cast<pid_t>(pid), SIGKILL); }

bool SuspendProcess(std::uint32_t pid) { return kill(static_cast<pid_t>(pid), SIGSTOP) == 0; }

bool ProcessExists(std::uint32_t pid) { return kill(static_cast<pid_t>(pid), 0) == 0; }

#endif

}  // namespace sim::relay
