#include "support/sim_harness.h"

#include <atomic>
#include <random>
#include <stdexcept>

#include "device/dravolin_library.h"
#include "support/relay_server.h"

namespace selvarex::test {

namespace fs = std::filesystem;

fs::path SimWorkDir::VariantPath(const std::string& variant) {
  return fs::path(SELVAREX_SIM_DIR) / variant / "Dravolin.dll";
}

fs::path SimWorkDir::RelayVariantPath(const std::string& variant) {
  return fs::path(SELVAREX_SIM_RELAY_DIR) / variant / "Dravolin.dll";
}

bool SimWorkDir::Hosted() { return DravolinLibrary::ChosenBinding() == DravolinLibrary::Binding::Host; }

fs::path SimWorkDir::ControlledLibrary() {
  if (Hosted()) return VariantPath("default");
  return fs::path(std::string(platform::CurrentDirectoryPrefix()) + "Dravolin.dll");
}

SimWorkDir::SimWorkDir(const std::string& variant) : SimWorkDir(variant, !Hosted()) {}

SimWorkDir::SimWorkDir(const std::string& variant, LibraryItself) : SimWorkDir(variant, true) {}

SimWorkDir::SimWorkDir(const std::string& variant, ServedToPrograms) : SimWorkDir(variant, false) {}

SimWorkDir::SimWorkDir(const std::string& variant, bool itself) : previous_(fs::current_path()) {
  static std::atomic<unsigned> counter{0};
  const auto base = fs::temp_directory_path();
  for (;;) {
    dir_ = base / ("selvarex-test-" + std::to_string(std::random_device{}()) + "-" + std::to_string(counter++));
    if (fs::create_directory(dir_)) break;
  }
  if (!variant.empty() && !itself) {
    fs::copy_file(RelayVariantPath(variant), dir_ / "Dravolin.dll");
    relay_ = std::make_unique<RelayServer>(dir_, VariantPath("default"));
  } else if (!variant.empty()) {
    fs::copy_file(VariantPath(variant), dir_ / "Dravolin.dll");
  }
  fs::current_path(dir_);
}

SimWorkDir::~SimWorkDir() {
  std::error_code ignored;
  fs::current_path(previous_, ignored);
  relay_.reset();
  fs::remove_all(dir_, ignored);
}

SimControl::SimControl() { Resolve(SimWorkDir::ControlledLibrary()); }

SimControl::SimControl(const SimWorkDir& dir) {
  Resolve(dir.Relay() != nullptr ? SimWorkDir::VariantPath("default") : SimWorkDir::ControlledLibrary());
}

void SimControl::Resolve(const std::filesystem::path& library) {
  module_ = platform::OpenLibrary(library.string());
  if (module_ == nullptr) throw std::runtime_error("cannot load the simulated library for its control interface");
#define SIM_RESOLVE(name, result, params)                                  \
  name = reinterpret_cast<name##_t>(platform::FindSymbol(module_, #name)); \
  if (name == nullptr) throw std::runtime_error("the simulated library lacks " #name);
  SIM_CONTROL_FUNCTIONS(SIM_RESOLVE)
#undef SIM_RESOLVE
}

SimControl::~SimControl() {
  if (module_ != nullptr) platform::CloseLibrary(module_);
}

void SimControl::Fail(drav::Entry e, std::uint32_t nth, std::uint32_t count, const char* text) const {
  if (SimCtl_FailCall(drav::EntryName(e), nth, count, text) != 0) throw std::runtime_error("SimCtl_FailCall refused");
}

std::vector<std::string> SimControl::CallLog() const {
  const std::uint32_t needed = SimCtl_CallLog(nullptr, 0);
  std::string text(needed + 1, '\0');
  SimCtl_CallLog(text.data(), needed + 1);
  text.resize(needed);
  std::vector<std::string> names;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t comma = text.find(',', start);
    if (comma == std::string::npos) comma = text.size();
    names.push_back(text.substr(start, comma - start));
    start = comma + 1;
  }
  return names;
}

std::vector<std::uint32_t> SimControl::LastArgs(drav::Entry e) const {
  std::uint32_t args[5] = {};
  const std::int32_t n = SimCtl_LastArgs(drav::EntryName(e), args, 5);
  if (n < 0) return {};
  return std::vector<std::uint32_t>(args, args + n);
}

std::vector<std::uint8_t> SimControl::ReadRaw(std::uint32_t chip, std::uint32_t address, std::uint32_t length) const {
  std::vector<std::uint8_t> bytes(length);
  if (SimCtl_ReadRaw(chip, address, bytes.data(), length) != 0)
    throw std::runtime_error("SimCtl_ReadRaw outside the chip");
  return bytes;
}

}  // namespace selvarex::test
