// The program's side of one request and its reply over a channel to a
// library host. The call's buffer travels through the shared buffer when the
// channel has one, inline after the header otherwise.
#pragma once

#include <chrono>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <unordered_map>

#include "device/host_protocol.h"
#include "device/platform_process.h"

namespace selvarex::host {

// The exchange failed: the peer is gone (broken) or sent what the protocol
// does not allow (reason says what).
struct ChannelFailure {
  bool broken = false;
  std::string reason;
  bool timedOut = false;  // no reply within the limit
};

// The call's buffer is larger than the shared buffer: it was not sent.
struct BufferTooLarge {
  std::uint32_t size = 0;
  std::uint32_t capacity = 0;
};

class CallChannel {
 public:
  explicit CallChannel(platform::Channel& channel) : channel_(channel) {}

  // Sends the request, with `send` as its buffer (request.payload bytes), and
  // returns the checked reply of the expected kind; the bytes that come back
  // are in `receive` (reply.payload bytes, request.payload at most). A
  // refusal, a failed load or free, carries its text in `text`. Throws
  // ChannelFailure, or BufferTooLarge before anything is sent.
  // With a limit, a reply that has not begun within it is a failure too.
  Reply Exchange(const Request& request, const std::uint8_t* send, std::uint8_t* receive, std::string* text = nullptr,
                 std::chrono::milliseconds limit = std::chrono::milliseconds::zero());

  platform::Channel& Channel() { return channel_; }

 private:
  void Write(const void* data, std::size_t size);
  void Read(void* data, std::size_t size);

  platform::Channel& channel_;
  // How long each kind of call (entry point and buffer size) took the last
  // time, so the channel knows when to expect the next one's answer.
  std::unordered_map<std::uint64_t, std::chrono::steady_clock::duration> lastTook_;
};

}  // namespace selvarex::host
