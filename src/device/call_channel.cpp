#include "device/call_channel.h"

#include <chrono>
#include <cstring>

namespace selvarex::host {

namespace {

ReplyKind ExpectedReply(RequestKind kind) {
  switch (kind) {
    case RequestKind::Load: return ReplyKind::Loaded;
    case RequestKind::Call: return ReplyKind::Returned;
    case RequestKind::Free: return ReplyKind::Freed;
  }
  return ReplyKind::Refused;
}

}  // namespace

void CallChannel::Write(const void* data, std::size_t size) {
  if (!channel_.WriteAll(data, size)) throw ChannelFailure{true, {}};
}

void CallChannel::Read(void* data, std::size_t size) {
  if (!channel_.ReadExact(data, size)) throw ChannelFailure{true, {}};
}

Reply CallChannel::Exchange(const Request& request, const std::uint8_t* send, std::uint8_t* receive, std::string* text,
                            std::chrono::milliseconds limit) {
  std::uint8_t* shared = channel_.Shared();
  // A buffer that lies in the shared buffer already (the transfer buffer)
  // is used where it is; any other goes through the calls' part.
  Request sent = request;
  bool inPlace = false;
  if (request.payload > 0 && shared != nullptr) {
    const auto at = reinterpret_cast<std::uintptr_t>(send);
    const auto begin = reinterpret_cast<std::uintptr_t>(shared);
    inPlace = at >= begin && at - begin <= channel_.SharedSize() - request.payload &&
              request.payload <= channel_.SharedSize();
    if (inPlace) {
      sent.offset = static_cast<std::uint32_t>(send - shared);
    } else if (request.payload > kMaxBufferBytes) {
      throw BufferTooLarge{request.payload, kMaxBufferBytes};
    } else {
      std::memcpy(shared, send, request.payload);
    }
  }
  const RequestBytes header = Encode(sent);
  Write(header.data(), header.size());
  if (request.payload > 0 && shared == nullptr) Write(send, request.payload);
  const auto sentAt = std::chrono::steady_clock::now();
  const std::uint64_t kindOfCall = std::uint64_t{request.entry} << 32 | request.payload;
  const auto took = request.kind == RequestKind::Call ? lastTook_.find(kindOfCall) : lastTook_.end();

  if (limit.count() > 0) {
    if (!channel_.WaitReadable(limit)) throw ChannelFailure{false, {}, true};
  } else if (took != lastTook_.end()) {
    channel_.ExpectAnswerIn(std::chrono::duration_cast<std::chrono::microseconds>(took->second));
  }
  ReplyBytes bytes{};
  Read(bytes.data(), bytes.size());
  if (request.kind == RequestKind::Call) lastTook_[kindOfCall] = std::chrono::steady_clock::now() - sentAt;
  const DecodedReply decoded = DecodeReply(bytes);
  if (!decoded.reply) throw ChannelFailure{false, decoded.error};
  const Reply& reply = *decoded.reply;

  const bool carriesText = reply.kind == ReplyKind::Refused || reply.outcome != Outcome::Done;
  if (carriesText) {
    std::string message(reply.payload, '\0');
    Read(message.data(), message.size());
    if (reply.kind == ReplyKind::Refused) throw ChannelFailure{false, "the request was refused: " + message};
    if (text != nullptr) *text = message;
  }
  if (reply.kind != ExpectedReply(request.kind)) throw ChannelFailure{false, "a reply of another kind"};
  if (request.kind != RequestKind::Call) {
    if (!carriesText && reply.payload != 0) throw ChannelFailure{false, "data with a load or free"};
    return reply;
  }

  // Only an out buffer comes back, and exactly as many bytes as went out.
  const std::uint32_t back = receive != nullptr ? request.payload : 0u;
  if (reply.payload != back) throw ChannelFailure{false, "a buffer of the wrong size"};
  if (back > 0) {
    if (shared != nullptr) {
      if (!inPlace) std::memcpy(receive, shared, back);
    } else {
      Read(receive, back);
    }
  }
  return reply;
}

}  // namespace selvarex::host
