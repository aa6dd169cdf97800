#include "support/relay_server.h"

#include <chrono>
#include <stdexcept>

#include "libhost/library_server.h"

namespace selvarex::test {

namespace {

// The served entry points are plain functions: they find the server and the
// simulator's own entry points here.
RelayServer* activeServer = nullptr;
void* modelEntries[drav::kEntryCount] = {};

template <drav::Entry E, typename F>
struct Interposer;

template <drav::Entry E, typename R, typename... P>
struct Interposer<E, R(DRAV_CALL*)(P...)> {
  static R DRAV_CALL Call(P... params) {
    // A stopped host never gets its answer; the simulator never sees the call.
    if (!activeServer->BeforeCall(E)) return R{0};
    return reinterpret_cast<R(DRAV_CALL*)(P...)>(modelEntries[static_cast<int>(E)])(params...);
  }
};

}  // namespace

RelayServer::RelayServer(const std::filesystem::path& workDir, const std::filesystem::path& modelPath) {
  if (activeServer != nullptr) throw std::logic_error("one relay server at a time");
  model_ = platform::OpenLibrary(modelPath.string());
  if (model_ == nullptr) throw std::runtime_error("cannot load the simulator " + modelPath.string());
#define RELAY_SERVE(name, result, params)                                                  \
  modelEntries[static_cast<int>(drav::Entry::name)] = platform::FindSymbol(model_, #name); \
  served_.name = &Interposer<drav::Entry::name, drav::name##_t>::Call;
  DRAVOLIN_ENTRY_POINTS(RELAY_SERVE)
#undef RELAY_SERVE
  // Each working directory starts from a simulator at its factory state, as
  // a freshly copied library does.
  if (auto reset = reinterpret_cast<void(DRAV_CALL*)()>(platform::FindSymbol(model_, "SimCtl_Reset"))) reset();
  const std::string endpoint = sim::relay::NewEndpoint(workDir);
  listener_ = sim::relay::Listener::Open(endpoint);
  if (listener_ == nullptr) throw std::runtime_error("cannot listen at " + endpoint);
  activeServer = this;
  sim::relay::PublishEndpoint(endpoint);
  thread_ = std::thread([this] { ServeConnections(); });
}

RelayServer::~RelayServer() {
  sim::relay::PublishEndpoint("");
  listener_->Stop();
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (current_ != nullptr) current_->Cut();
  }
  // A stop that comes before the listener waits wakes nobody: it is
  // repeated until the thread has seen it.
  while (serving_.load()) {
    listener_->Stop();
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  thread_.join();
  activeServer = nullptr;
  platform::CloseLibrary(model_);
}

void RelayServer::ServeConnections() {
  while (std::unique_ptr<sim::relay::Connection> connection = listener_->Accept()) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      hosts_.push_back(connection->PeerProcessId());
      current_ = connection.get();
    }
    ServeLibrary(connection->Channel(), nullptr, &served_);
    std::lock_guard<std::mutex> lock(mutex_);
    current_ = nullptr;
  }
  serving_ = false;
}

void RelayServer::StopHostAt(drav::Entry entry, std::uint32_t nth, HostEnd how) {
  std::lock_guard<std::mutex> lock(mutex_);
  stopEntry_ = entry;
  stopCountdown_ = nth;
  stopHow_ = how;
}

std::vector<std::uint32_t> RelayServer::Hosts() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return hosts_;
}

void RelayServer::AtCall(drav::Entry entry, std::uint32_t nth, std::function<void()> action) {
  std::lock_guard<std::mutex> lock(mutex_);
  actionEntry_ = entry;
  actionCountdown_ = nth;
  action_ = std::move(action);
}

bool RelayServer::BeforeCall(drav::Entry entry) {
  std::function<void()> action;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (actionEntry_ && *actionEntry_ == entry && --actionCountdown_ == 0) {
      actionEntry_.reset();
      action = std::move(action_);
    }
  }
  if (action) action();
  std::lock_guard<std::mutex> lock(mutex_);
  if (!stopEntry_ || *stopEntry_ != entry || --stopCountdown_ != 0) return true;
  stopEntry_.reset();
  if (current_ != nullptr) {
    if (stopHow_ == HostEnd::Killed) {
      sim::relay::KillProcess(current_->PeerProcessId());
    } else {
      current_->Cut();
    }
  }
  return false;
}

}  // namespace selvarex::test
