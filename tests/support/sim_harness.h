// Test support: a working directory holding a simulated programmer library,
// and the library's control interface.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "device/dravolin_api.h"
#include "device/platform_loader.h"
#include "sim/sim_control.h"

namespace selvarex::test {

class RelayServer;

// Makes a fresh temporary directory the current working directory, with the
// chosen build of the simulated library copied in as Dravolin.dll ("default",
// "without_DravFlashRead", ...; "" for a directory without a library). Restores
// the previous directory and removes the temporary one when destroyed.
//
// When the program loads its library through the host, the directory gets
// the relay library with the variant's entry points instead, and the
// simulator itself is served from this test program (Relay()).
class SimWorkDir {
 public:
  explicit SimWorkDir(const std::string& variant = "default");
  // The simulated library itself in the directory, even for a program that
  // loads it through its host: the simulator then lives in the host, out of
  // reach of the control interface (benchmarks of the host).
  struct LibraryItself {};
  SimWorkDir(const std::string& variant, LibraryItself);
  // The relay library in the directory whatever this test program's binding,
  // the simulator served from here: for other programs the test starts (the
  // command line), so that the chip keeps its content from one run to the
  // next and stays in reach of the control interface.
  struct ServedToPrograms {};
  SimWorkDir(const std::string& variant, ServedToPrograms);
  ~SimWorkDir();
  SimWorkDir(const SimWorkDir&) = delete;
  SimWorkDir& operator=(const SimWorkDir&) = delete;

  const std::filesystem::path& path() const { return dir_; }
  // Where the build put a variant of the simulated library, and of the relay.
  static std::filesystem::path VariantPath(const std::string& variant);
  static std::filesystem::path RelayVariantPath(const std::string& variant);
  // Whether the program's library runs in its host in this test.
  static bool Hosted();
  // The simulator the tests control: ./Dravolin.dll, or the one the relay
  // serves.
  static std::filesystem::path ControlledLibrary();
  // The server behind the relay; null when the library is loaded in process.
  RelayServer* Relay() const { return relay_.get(); }

 private:
  SimWorkDir(const std::string& variant, bool itself);

  std::filesystem::path previous_;
  std::filesystem::path dir_;
  std::unique_ptr<RelayServer> relay_;
};

// The control interface of the simulated library. Holds its own reference to
// the library, so the model outlives the program's unload and reload.
class SimControl {
 public:
  SimControl();
  // The simulator the directory's library reaches: the served one when it
  // holds the relay.
  explicit SimControl(const SimWorkDir& dir);
  ~SimControl();
  SimControl(const SimControl&) = delete;
  SimControl& operator=(const SimControl&) = delete;

#define SIM_DECLARE_FIELD(name, result, params) name##_t name = nullptr;
  SIM_CONTROL_FUNCTIONS(SIM_DECLARE_FIELD)
#undef SIM_DECLARE_FIELD

  std::uint32_t Calls(drav::Entry e) const { return SimCtl_CallCount(drav::EntryName(e)); }
  // Fails the nth call of e from now on, and count - 1 calls after it (0 = all).
  void Fail(drav::Entry e, std::uint32_t nth = 1, std::uint32_t count = 1, const char* text = nullptr) const;
  std::vector<std::string> CallLog() const;
  std::vector<std::uint32_t> LastArgs(drav::Entry e) const;
  std::vector<std::uint8_t> ReadRaw(std::uint32_t chip, std::uint32_t address, std::uint32_t length) const;

 private:
  void Resolve(const std::filesystem::path& library);

  platform::ModuleHandle module_ = nullptr;
};

}  // namespace selvarex::test
