#include "relay_link.h"

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>

#ifdef _WIN32
#include <stdlib.h>
#include <windows.h>
#else
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace sim::relay {

namespace {

std::atomic<unsigned> endpointCounter{0};

}  // namespace

#ifdef _WIN32

namespace {

class PipeChannel final : public selvarex::platform::Channel {
 public:
  explicit PipeChannel(HANDLE pipe) : pipe_(pipe) {}
  ~PipeChannel() override { CloseHandle(pipe_); }
  bool ReadExact(void* data, std::size_t size) override {
    auto* at = static_cast<char*>(data);
    while (size > 0) {
      DWORD got = 0;
      if (!ReadFile(pipe_, at, static_cast<DWORD>(size), &got, nullptr) || got == 0) return false;
      at += got;
      size -= got;
    }
    return true;
  }
  bool WriteAll(const void* data, std::size_t size) override {
    const auto* at = static_cast<const char*>(data);
    while (size > 0) {
      DWORD put = 0;
      if (!WriteFile(pipe_, at, static_cast<DWORD>(size), &put, nullptr) || put == 0) return false;
      at += put;
      size -= put;
    }
    return true;
  }
  bool WaitReadable(std::chrono::milliseconds limit) override {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    for (;;) {
      DWORD available = 0;
      if (!PeekNamedPipe(pipe_, nullptr, 0, nullptr, &available, nullptr) || available > 0) return true;
      if (std::chrono::steady_clock::now() >= deadline) return false;
      Sleep(1);
    }
  }
  std::uint8_t* Shared() override { return nullptr; }
  std::uint32_t SharedSize() const override { return 0; }
  HANDLE Handle() const { return pipe_; }

 private:
  HANDLE pipe_;
};

class PipeConnection final : public Connection {
 public:
  explicit PipeConnection(HANDLE pipe) : channel_(pipe) {}
  selvarex::platform::Channel& Channel() override { return channel_; }
  void Cut() override {
    FlushFileBuffers(channel_.Handle());
    DisconnectNamedPipe(channel_.Handle());
  }
  std::uint32_t PeerProcessId() const override {
    ULONG pid = 0;
    GetNamedPipeClientProcessId(channel_.Handle(), &pid);
    return pid;
  }

 private:
  PipeChannel channel_;
};

class PipeListener final : public Listener {
 public:
  explicit PipeListener(std::string name) : name_(std::move(name)) {}
  std::unique_ptr<Connection> Accept() override {
    for (;;) {
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
  return "\\\\.\\pipe\\selvarex-sim-" + std::to_string(GetCurrentProcessId()) + "-" +
         std::to_string(endpointCounter++);
}

void SetEnv(const char* name, const std::string& value) { _putenv_s(name, value.c_str()); }

std::unique_ptr<selvarex::platform::Channel> Connect(const std::string& endpoint) {
  for (int attempt = 0; attempt < 200; ++attempt) {
    HANDLE pipe = CreateFileA(endpoint.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (pipe != INVALID_HANDLE_VALUE) return std::make_unique<PipeChannel>(pipe);
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

class SocketChannel final : public selvarex::platform::Channel {
 public:
  explicit SocketChannel(int fd) : fd_(fd) {}
  ~SocketChannel() override { close(fd_); }
  bool ReadExact(void* data, std::size_t size) override {
    auto* at = static_cast<char*>(data);
    while (size > 0) {
      const ssize_t got = recv(fd_, at, size, 0);
      if (got < 0 && errno == EINTR) continue;
      if (got <= 0) return false;
      at += got;
      size -= static_cast<std::size_t>(got);
    }
    return true;
  }
  bool WriteAll(const void* data, std::size_t size) override {
    const auto* at = static_cast<const char*>(data);
    while (size > 0) {
      const ssize_t put = send(fd_, at, size, MSG_NOSIGNAL);
      if (put < 0 && errno == EINTR) continue;
      if (put <= 0) return false;
      at += put;
      size -= static_cast<std::size_t>(put);
    }
    return true;
  }
  bool WaitReadable(std::chrono::milliseconds limit) override {
    pollfd watched{fd_, POLLIN, 0};
    return poll(&watched, 1, static_cast<int>(limit.count())) != 0;
  }
  std::uint8_t* Shared() override { return nullptr; }
  std::uint32_t SharedSize() const override { return 0; }
  int Fd() const { return fd_; }

 private:
  int fd_;
};

class SocketConnection final : public Connection {
 public:
  explicit SocketConnection(int fd) : channel_(fd) {}
  selvarex::platform::Channel& Channel() override { return channel_; }
  void Cut() override { shutdown(channel_.Fd(), SHUT_RDWR); }
  std::uint32_t PeerProcessId() const override {
    ucred peer{};
    socklen_t size = sizeof peer;
    if (getsockopt(channel_.Fd(), SOL_SOCKET, SO_PEERCRED, &peer, &size) != 0) return 0;
    return static_cast<std::uint32_t>(peer.pid);
  }

 private:
  SocketChannel channel_;
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
  return std::make_unique<SocketChannel>(fd);
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
