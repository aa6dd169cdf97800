// The messages between the program and its library host: one request, then
// one reply, each a fixed-size header of little-endian fields, possibly
// followed by a bounded payload. Both sides check every field before they
// trust it, so a peer that sends garbage is refused, never followed.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "device/dravolin_api.h"

namespace selvarex::host {

constexpr std::size_t kMaxArgs = 5;
// Block data and texts of one call; the largest the program passes is one
// NAND block (135168 bytes).
constexpr std::uint32_t kMaxBufferBytes = 1u << 20;
// The shared buffer: a part for the calls' buffers, then a transfer buffer
// the caller may work in, so block data crosses without a copy (room for two
// blocks, which a reading process uses in turn).
constexpr std::uint32_t kTransferBytes = 512u << 10;
constexpr std::uint32_t kSharedBytes = kMaxBufferBytes + kTransferBytes;
// Error texts that come back with a failed load or free.
constexpr std::uint32_t kMaxTextBytes = 4096;

enum class RequestKind : std::uint16_t {
  Load = 1,  // load ./Dravolin.dll, or the file its payload names, and resolve its entries
  Call = 2,  // call one entry point
  Free = 3,  // free the library
};

enum class ReplyKind : std::uint16_t {
  Loaded = 1,
  Returned = 2,
  Freed = 3,
  Refused = 4,  // the request broke the protocol; the payload says why
};

// How a load or free ended.
enum class Outcome : std::uint16_t {
  Done = 0,
  Failed = 1,   // an error with a message text (the missing-file message)
  OsError = 2,  // the system's error code and its text
};

struct Request {
  RequestKind kind = RequestKind::Call;
  std::uint16_t entry = 0;                     // Call: index in the entry table
  std::array<std::uint32_t, kMaxArgs> args{};  // values; pointers as 1 (set) or 0 (null)
  std::array<std::uint32_t, kMaxArgs> outs{};  // out-values as the caller holds them
  std::uint32_t payload = 0;                   // bytes of the call's buffer that travel
  std::uint32_t offset = 0;                    // where they are in the shared buffer
};

struct Reply {
  ReplyKind kind = ReplyKind::Returned;
  Outcome outcome = Outcome::Done;
  std::uint32_t result = 0;  // Returned: the entry's result
  std::array<std::uint32_t, kMaxArgs> outs{};
  std::uint32_t code = 0;     // OsError: the system's code
  std::uint32_t payload = 0;  // bytes that follow: buffer or text
  std::uint64_t exports = 0;  // Loaded: bit i set = entry i resolved
};

constexpr std::size_t kRequestBytes = 4 + 2 + 2 + 4 * kMaxArgs * 2 + 4 + 4;
constexpr std::size_t kReplyBytes = 4 + 2 + 2 + 4 + 4 * kMaxArgs + 4 + 4 + 8;
using RequestBytes = std::array<std::uint8_t, kRequestBytes>;
using ReplyBytes = std::array<std::uint8_t, kReplyBytes>;

RequestBytes Encode(const Request& request);
ReplyBytes Encode(const Reply& reply);

// The decoded header, or why it is refused (in `error`). These check what a
// header can say on its own: magic, kinds, ranges, the payload's bound.
struct DecodedRequest {
  std::optional<Request> request;
  std::string error;
};
struct DecodedReply {
  std::optional<Reply> reply;
  std::string error;
};
DecodedRequest DecodeRequest(const RequestBytes& bytes);
DecodedReply DecodeReply(const ReplyBytes& bytes);

constexpr std::uint64_t kAllExports = (std::uint64_t{1} << drav::kEntryCount) - 1;

}  // namespace selvarex::host
