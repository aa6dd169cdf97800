// The properties of both ends of the library host's protocol, checked on one
// input each.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace selvarex::fuzz {

// The program reading a host's answer to one call: the first byte picks the
// call and whether the buffer travels through shared memory, the second its
// length; the rest is what the host sends. Nothing is written outside the
// caller's variables and buffer, and a reply is taken only when it fits the
// call. "" when every property holds, else what failed.
std::string CheckHostReply(const std::uint8_t* data, std::size_t size);

// The host reading what the program sends: the first byte picks whether
// buffers travel through shared memory; the rest is the request stream. The
// library is only ever handed arguments its signature allows (checked by the
// library stubs, and by AddressSanitizer), and every answer is well formed.
std::string CheckHostRequests(const std::uint8_t* data, std::size_t size);

}  // namespace selvarex::fuzz
