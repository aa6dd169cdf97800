#include "device/host_protocol.h"

namespace selvarex::host {

namespace {

// "SXRQ" and "SXRP": a reply can never be taken for a request, nor a stray
// byte stream for either.
constexpr std::uint32_t kRequestMagic = 0x51525853;
constexpr std::uint32_t kReplyMagic = 0x50525853;

class Writer {
 public:
  explicit Writer(std::uint8_t* out) : out_(out) {}
  void U16(std::uint16_t v) { Bytes(v, 2); }
  void U32(std::uint32_t v) { Bytes(v, 4); }
  void U64(std::uint64_t v) { Bytes(v, 8); }

 private:
  void Bytes(std::uint64_t v, int count) {
    for (int i = 0; i < count; ++i) *out_++ = static_cast<std::uint8_t>(v >> (8 * i));
  }
  std::uint8_t* out_;
};

class Reader {
 public:
  explicit Reader(const std::uint8_t* in) : in_(in) {}
  std::uint16_t U16() { return static_cast<std::uint16_t>(Bytes(2)); }
  std::uint32_t U32() { return static_cast<std::uint32_t>(Bytes(4)); }
  std::uint64_t U64() { return Bytes(8); }

 private:
  std::uint64_t Bytes(int count) {
    std::uint64_t v = 0;
    for (int i = 0; i < count; ++i) v |= std::uint64_t{*in_++} << (8 * i);
    return v;
  }
  const std::uint8_t* in_;
};

bool KnownRequest(std::uint16_t kind) {
  return kind >= static_cast<std::uint16_t>(RequestKind::Load) && kind <= static_cast<std::uint16_t>(RequestKind::Free);
}

bool KnownReply(std::uint16_t kind) {
  return kind >= static_cast<std::uint16_t>(ReplyKind::Loaded) &&
         kind <= static_cast<std::uint16_t>(ReplyKind::Refused);
}

}  // namespace

RequestBytes Encode(const Request& request) {
  RequestBytes bytes{};
  Writer w(bytes.data());
  w.U32(kRequestMagic);
  w.U16(static_cast<std::uint16_t>(request.kind));
  w.U16(request.entry);
  for (std::uint32_t v : request.args) w.U32(v);
  for (std::uint32_t v : request.outs) w.U32(v);
  w.U32(request.payload);
  w.U32(request.offset);
  return bytes;
}

ReplyBytes Encode(const Reply& reply) {
  ReplyBytes bytes{};
  Writer w(bytes.data());
  w.U32(kReplyMagic);
  w.U16(static_cast<std::uint16_t>(reply.kind));
  w.U16(static_cast<std::uint16_t>(reply.outcome));
  w.U32(reply.result);
  for (std::uint32_t v : reply.outs) w.U32(v);
  w.U32(reply.code);
  w.U32(reply.payload);
  w.U64(reply.exports);
  return bytes;
}

DecodedRequest DecodeRequest(const RequestBytes& bytes) {
  Reader r(bytes.data());
  if (r.U32() != kRequestMagic) return {std::nullopt, "not a request"};
  Request request;
  const std::uint16_t kind = r.U16();
  if (!KnownRequest(kind)) return {std::nullopt, "unknown request kind " + std::to_string(kind)};
  request.kind = static_cast<RequestKind>(kind);
  request.entry = r.U16();
  for (std::uint32_t& v : request.args) v = r.U32();
  for (std::uint32_t& v : request.outs) v = r.U32();
  request.payload = r.U32();
  request.offset = r.U32();
  if (request.kind == RequestKind::Call) {
    if (request.entry >= drav::kEntryCount)
      return {std::nullopt, "unknown entry point " + std::to_string(request.entry)};
    if (request.payload > kMaxBufferBytes)
      return {std::nullopt, "a buffer of " + std::to_string(request.payload) + " bytes"};
    if (std::uint64_t{request.offset} + request.payload > kSharedBytes)
      return {std::nullopt, "a buffer beyond the shared buffer"};
  } else if (request.entry != 0 ||
             (request.kind == RequestKind::Free && (request.payload != 0 || request.offset != 0))) {
    return {std::nullopt, "a load or free request with call fields"};
  } else if (request.payload > kMaxTextBytes || std::uint64_t{request.offset} + request.payload > kSharedBytes) {
    // A load's payload is the library's file name.
    return {std::nullopt, "a library file name of " + std::to_string(request.payload) + " bytes"};
  }
  return {request, {}};
}

DecodedReply DecodeReply(const ReplyBytes& bytes) {
  Reader r(bytes.data());
  if (r.U32() != kReplyMagic) return {std::nullopt, "not a reply"};
  Reply reply;
  const std::uint16_t kind = r.U16();
  if (!KnownReply(kind)) return {std::nullopt, "unknown reply kind " + std::to_string(kind)};
  reply.kind = static_cast<ReplyKind>(kind);
  const std::uint16_t outcome = r.U16();
  if (outcome > static_cast<std::uint16_t>(Outcome::OsError))
    return {std::nullopt, "unknown outcome " + std::to_string(outcome)};
  reply.outcome = static_cast<Outcome>(outcome);
  reply.result = r.U32();
  for (std::uint32_t& v : reply.outs) v = r.U32();
  reply.code = r.U32();
  reply.payload = r.U32();
  reply.exports = r.U64();
  const bool carriesText = reply.kind == ReplyKind::Refused || reply.outcome != Outcome::Done;
  const std::uint32_t bound = carriesText ? kMaxTextBytes : kMaxBufferBytes;
  if (reply.payload > bound) return {std::nullopt, "a payload of " + std::to_string(reply.payload) + " bytes"};
  if ((reply.exports & ~kAllExports) != 0) return {std::nullopt, "entries beyond the 36"};
  if (reply.kind == ReplyKind::Returned && reply.outcome != Outcome::Done)
    return {std::nullopt, "a call with a load outcome"};
  return {reply, {}};
}

}  // namespace selvarex::host
