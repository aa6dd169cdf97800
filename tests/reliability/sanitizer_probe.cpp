// Makes one sanitizer report of the kind asked for, so that
// scripts/test-sanitizers.sh can check that reports stop a process and that
// the simulated library is instrumented too. Built only with
// SELVAREX_SANITIZE; never part of the suite, since every mode must fail.
#include <climits>
#include <cstdio>
#include <cstring>
#include <memory>

#include "device/dravolin_library.h"
#include "support/sim_harness.h"

namespace {

// An error text written past the end of a caller's buffer, by the library's
// own (instrumented) code.
int OverflowInsideTheLibrary() {
  selvarex::test::SimWorkDir dir;
  selvarex::DravolinLibrary library;
  library.Load();
  selvarex::test::SimControl sim;
  sim.SimCtl_Misbehave(kSimTextsWithoutNul);
  sim.Fail(drav::Entry::DravUsbReset, 1, 1, "overflow");
  library.Api().DravUsbReset(0);
  auto small = std::make_unique<char[]>(8);
  library.Api().DravGetLastError(small.get(), 64);
  return small[0];
}

int SignedOverflow() {
  volatile int big = INT_MAX;
  return big + 1;
}

int* volatile leaked = nullptr;
int Leak() {
  leaked = new int[64];
  leaked = nullptr;
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const char* mode = argc > 1 ? argv[1] : "";
  if (std::strcmp(mode, "library-overflow") == 0) return OverflowInsideTheLibrary();
  if (std::strcmp(mode, "signed-overflow") == 0) return SignedOverflow();
  if (std::strcmp(mode, "leak") == 0) return Leak();
  std::fprintf(stderr, "usage: %s library-overflow|signed-overflow|leak\n", argv[0]);
  return 2;
}
