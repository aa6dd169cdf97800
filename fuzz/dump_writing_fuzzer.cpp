// Fuzz target: the writing process fed arbitrary image files against the
// simulated programmer, loaded once for the whole run.
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "dump_writing_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::unique_ptr<selvarex::test::SimSession> session = [] {
    auto s = std::make_unique<selvarex::test::SimSession>();
    s->ConnectAndSelect(0);
    s->sim->SimCtl_SetTiming(0);
    return s;
  }();
  const std::string failure = selvarex::fuzz::CheckDumpWriting(*session, data, size);
  if (!failure.empty()) {
    std::fprintf(stderr, "dump writing: %s\n", failure.c_str());
    std::abort();
  }
  return 0;
}
