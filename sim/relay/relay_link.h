// The link between the simulator's relay library, loaded by the library host,
// and the test program that holds the simulated programmer: a local socket
// (a named pipe on Windows) that the test program names in the environment.
// Test equipment only: the program's own channel to its host is private.
#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "device/platform_process.h"

namespace sim::relay {

// The environment variable through which the relay finds the test program.
constexpr const char* kEndpointVariable = "SELVAREX_SIM_RELAY";
// The relay ends its host with this code when the link is cut.
constexpr int kLinkCutExitCode = 86;

// A fresh endpoint name for a listener in dir.
std::string NewEndpoint(const std::filesystem::path& dir);
// Sets a variable of this process's environment, which the hosts it starts
// inherit; an empty value removes it.
void SetEnv(const char* name, const std::string& value);
// Names the endpoint for the hosts started from now on ("" withdraws it).
inline void PublishEndpoint(const std::string& endpoint) { SetEnv(kEndpointVariable, endpoint); }

// The relay's side. Null when nothing listens there.
std::unique_ptr<selvarex::platform::Channel> Connect(const std::string& endpoint);

// One accepted connection, and the process at its other end.
class Connection {
 public:
  virtual ~Connection() = default;
  virtual selvarex::platform::Channel& Channel() = 0;
  // Cuts the link: both directions end.
  virtual void Cut() = 0;
  virtual std::uint32_t PeerProcessId() const = 0;
};

// The test program's side.
class Listener {
 public:
  virtual ~Listener() = default;
  static std::unique_ptr<Listener> Open(const std::string& endpoint);
  // The next connection; null once Stop() was called.
  virtual std::unique_ptr<Connection> Accept() = 0;
  // Makes a waiting Accept return null.
  virtual void Stop() = 0;
};

// What the tests do to a host process from outside.
void KillProcess(std::uint32_t pid);     // as a crash would end it
bool SuspendProcess(std::uint32_t pid);  // false where not supported
bool ProcessExists(std::uint32_t pid);   // alive, or ended but not yet reaped

}  // namespace sim::relay
