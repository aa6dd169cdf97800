// Fuzz target: the library host decoding the program's requests.
#include <cstdio>
#include <cstdlib>

#include "host_protocol_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string failure = selvarex::fuzz::CheckHostRequests(data, size);
  if (!failure.empty()) {
    std::fprintf(stderr, "host requests: %s\n", failure.c_str());
    std::abort();
  }
  return 0;
}
