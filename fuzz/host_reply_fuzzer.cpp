// Fuzz target: the program decoding its library host's replies.
#include <cstdio>
#include <cstdlib>

#include "host_protocol_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string failure = selvarex::fuzz::CheckHostReply(data, size);
  if (!failure.empty()) {
    std::fprintf(stderr, "host reply: %s\n", failure.c_str());
    std::abort();
  }
  return 0;
}
