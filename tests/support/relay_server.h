// Test support: the simulated programmer served to the relay library that the
// program's library host loads, so tests drive the program through its host
// while the simulator (and its control interface) stays in the test program.
// Also ends the host at a chosen library call, as a crash would.
#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "device/dravolin_api.h"
#include "device/platform_loader.h"
#include "relay_link.h"

namespace selvarex::test {

// How a stopped host ends: killed from outside (as a crash in the library
// would end it), or on its own with an exit code when its link is cut.
enum class HostEnd { Killed, Exits };

class RelayServer {
 public:
  // Serves the simulator at modelPath and names the endpoint in the
  // environment, for the hosts started from now on.
  explicit RelayServer(const std::filesystem::path& workDir, const std::filesystem::path& modelPath);
  ~RelayServer();
  RelayServer(const RelayServer&) = delete;
  RelayServer& operator=(const RelayServer&) = delete;

  // The nth call of entry from now (1 = the next) ends the host before the
  // simulator sees it; the library call never returns to the program.
  void StopHostAt(drav::Entry entry, std::uint32_t nth, HostEnd how);
  // Runs action (on the server's thread) right before the nth call of entry
  // from now (1 = the next) reaches the simulator: a change behind the
  // program's back at an exact point of its run.
  void AtCall(drav::Entry entry, std::uint32_t nth, std::function<void()> action);
  // Process ids of every host that connected, oldest first.
  std::vector<std::uint32_t> Hosts() const;

  // Called by the served entry points before the simulator's own; false
  // when the call ends the host instead.
  bool BeforeCall(drav::Entry entry);

 private:
  void ServeConnections();

  platform::ModuleHandle model_ = nullptr;
  drav::EntryTable served_;
  std::unique_ptr<sim::relay::Listener> listener_;
  std::thread thread_;
  std::atomic<bool> serving_{true};  // until the thread has seen the stop

  mutable std::mutex mutex_;
  std::vector<std::uint32_t> hosts_;
  sim::relay::Connection* current_ = nullptr;
  std::optional<drav::Entry> stopEntry_;
  std::uint32_t stopCountdown_ = 0;
  HostEnd stopHow_ = HostEnd::Killed;
  std::optional<drav::Entry> actionEntry_;
  std::uint32_t actionCountdown_ = 0;
  std::function<void()> action_;
};

}  // namespace selvarex::test
