// Fuzz target: the dialogs' number conversion and OK rules.
#include <cstdio>
#include <cstdlib>

#include "dialog_input_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string failure = selvarex::fuzz::CheckDialogInput(data, size);
  if (!failure.empty()) {
    std::fprintf(stderr, "dialog input: %s\n", failure.c_str());
    std::abort();
  }
  return 0;
}
