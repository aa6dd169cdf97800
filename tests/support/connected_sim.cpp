#include "support/connected_sim.h"

namespace selvarex::test {

SimSession::SimSession(const std::string& variant) : dir(variant) {
  library.Load();
  sim = std::make_unique<SimControl>();
  sim->SimCtl_Reset();
}

SimSession::~SimSession() {
  // Unload before the directory goes: a loaded library cannot be deleted everywhere.
  if (library.IsOpen()) library.Unload();
}

void SimSession::ConnectAndSelect(std::uint32_t flash) {
  Connect();
  programmer.SelectFlash(flash, view);
}

}  // namespace selvarex::test
