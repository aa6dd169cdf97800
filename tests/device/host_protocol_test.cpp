// The messages between the program and its library host: what each side
// accepts, what it refuses and why, in both ways the call's buffer travels.
#include <gtest/gtest.h>

#include <cstring>

#include "device/call_channel.h"
#include "device/call_marshalling.h"
#include "device/nand_geometry.h"
#include "libhost/library_server.h"
#include "support/memory_channel.h"

namespace selvarex {
namespace {

using host::Reply;
using host::Request;
using test::MemoryChannel;

void Put32(std::uint8_t* at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) at[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

// One field of a header overwritten, and the refusal it must cause.
struct Mutation {
  const char* what;
  std::size_t offset;
  std::vector<std::uint8_t> bytes;
  const char* error;
};

std::vector<std::uint8_t> Le32(std::uint32_t value) {
  std::vector<std::uint8_t> bytes(4);
  Put32(bytes.data(), value);
  return bytes;
}

TEST(HostProtocol, HeadersSurviveTheTripAndEveryBadFieldIsRefused) {
  Request request;
  request.entry = static_cast<std::uint16_t>(drav::Entry::DravFlashRead);
  request.args = {7, 0x80000000u, 1, nand::kBlockSize, 0};
  request.payload = nand::kBlockSize;
  const auto sent = host::DecodeRequest(host::Encode(request));
  ASSERT_TRUE(sent.request) << sent.error;
  EXPECT_EQ(sent.request->entry, request.entry);
  EXPECT_EQ(sent.request->args, request.args);
  EXPECT_EQ(sent.request->payload, request.payload);

  Reply reply;
  reply.kind = host::ReplyKind::Loaded;
  reply.result = 0xFFFFFFFFu;
  reply.outs = {1, 2, 3, 4, 5};
  reply.exports = host::kAllExports;
  const auto back = host::DecodeReply(host::Encode(reply));
  ASSERT_TRUE(back.reply) << back.error;
  EXPECT_EQ(back.reply->kind, reply.kind);
  EXPECT_EQ(back.reply->result, reply.result);
  EXPECT_EQ(back.reply->outs, reply.outs);
  EXPECT_EQ(back.reply->exports, reply.exports);

  const std::vector<Mutation> requests = {
      {"magic", 0, {0}, "not a request"},
      {"kind 0", 4, {0, 0}, "unknown request kind 0"},
      {"kind 4", 4, {4, 0}, "unknown request kind 4"},
      {"entry 36", 6, {36, 0}, "unknown entry point 36"},
      {"buffer beyond the bound", 48, Le32(host::kMaxBufferBytes + 1), "a buffer of 1048577 bytes"},
      {"a place beyond the shared buffer", 52, Le32(host::kSharedBytes - 135167), "a buffer beyond the shared buffer"},
      {"load with an entry", 4, {1, 0, 3, 0}, "a load or free request with call fields"},
      {"free with a buffer", 4, {3, 0, 0, 0}, "a load or free request with call fields"},
      // A load's buffer is the library's file name: at most a text's bound.
      {"load naming a file beyond the bound", 4, {1, 0, 0, 0}, "a library file name of 135168 bytes"},
  };
  for (const Mutation& m : requests) {
    host::RequestBytes bytes = host::Encode(request);
    std::memcpy(bytes.data() + m.offset, m.bytes.data(), m.bytes.size());
    EXPECT_EQ(host::DecodeRequest(bytes).error, m.error) << m.what;
    EXPECT_FALSE(host::DecodeRequest(bytes).request) << m.what;
  }

  Reply call;
  const std::vector<Mutation> replies = {
      {"magic", 3, {0}, "not a reply"},
      {"kind 5", 4, {5, 0}, "unknown reply kind 5"},
      {"outcome 3", 6, {3, 0}, "unknown outcome 3"},
      {"a call with a load outcome", 6, {1, 0}, "a call with a load outcome"},
      {"buffer beyond the bound", 36, Le32(host::kMaxBufferBytes + 1), "a payload of 1048577 bytes"},
      {"an error text beyond its bound", 4, {1, 0, 2, 0}, nullptr},
      {"entry 37 exported", 44, {0x20}, "entries beyond the 36"},
  };
  for (const Mutation& m : replies) {
    host::ReplyBytes bytes = host::Encode(call);
    std::memcpy(bytes.data() + m.offset, m.bytes.data(), m.bytes.size());
    if (m.error == nullptr) {
      // A failed load carries a text of at most 4096 bytes.
      Put32(bytes.data() + 36, host::kMaxTextBytes);
      EXPECT_TRUE(host::DecodeReply(bytes).reply) << m.what;
      Put32(bytes.data() + 36, host::kMaxTextBytes + 1);
      EXPECT_EQ(host::DecodeReply(bytes).error, "a payload of 4097 bytes") << m.what;
      continue;
    }
    EXPECT_EQ(host::DecodeReply(bytes).error, m.error) << m.what;
  }
}

TEST(HostProtocol, RepliesThatDoNotFitTheCallAreRefusedAndOutValuesKeepTheirWidths) {
  using CounterGet = host::Signature<drav::DravCounterGet_t>;
  std::int32_t running = 5;
  std::uint32_t ticks = 6;
  std::uint8_t value = 7;
  std::int32_t timedOut = 8;
  Reply good;
  good.outs = {0, 1, 1000, 0xAB, 0xFFFFFFFFu};
  ASSERT_EQ(CounterGet::CheckReply(good, 9, &running, &ticks, &value, &timedOut), "");
  CounterGet::WriteOuts(good, 9, &running, &ticks, &value, &timedOut);
  EXPECT_EQ(running, 1);
  EXPECT_EQ(ticks, 1000u);
  EXPECT_EQ(value, 0xAB);
  EXPECT_EQ(timedOut, -1);

  const auto counter = [&](std::size_t slot, std::uint32_t out, std::uint32_t* ticksAt) {
    Reply reply = good;
    reply.outs[slot] = out;
    return CounterGet::CheckReply(reply, 9, &running, ticksAt, &value, &timedOut);
  };
  EXPECT_EQ(counter(0, 1, &ticks), "an out-value for an argument that has none");
  EXPECT_EQ(counter(3, 0x100, &ticks), "an out-value wider than its variable");
  EXPECT_EQ(counter(2, 1, nullptr), "an out-value for a null pointer");
  Reply withData = good;
  withData.payload = 4;
  EXPECT_EQ(CounterGet::CheckReply(withData, 9, &running, &ticks, &value, &timedOut), "data the call did not ask for");

  using Close = host::Signature<drav::DravUsbClose_t>;
  Reply beyond;
  beyond.outs[1] = 5;
  EXPECT_EQ(Close::CheckReply(beyond, 1), "out-values the entry does not have");

  using Read = host::Signature<drav::DravFlashRead_t>;
  std::uint8_t block[16] = {};
  Reply read;
  read.payload = sizeof block;
  EXPECT_EQ(Read::CheckReply(read, 1, 0, block, sizeof block), "");
  read.payload = sizeof block - 1;
  EXPECT_EQ(Read::CheckReply(read, 1, 0, block, sizeof block), "a buffer of the wrong size");
  read.payload = sizeof block;
  EXPECT_EQ(Read::CheckReply(read, 1, 0, nullptr, sizeof block), "a buffer of the wrong size");
  // Bytes of a const buffer never come back.
  using Write = host::Signature<drav::DravFlashWrite_t>;
  EXPECT_EQ(Write::CheckReply(read, 1, 0, block, sizeof block), "a buffer of the wrong size");
}

TEST(HostProtocol, RequestsThatDoNotFitTheEntryAreRefused) {
  const auto check = [](auto signature, auto change) {
    Request request;
    change(request);
    return decltype(signature)::Check(request);
  };
  using CreateFlash = host::Signature<drav::DravDevCreateFlash_t>;
  using DevEnter = host::Signature<drav::DravUsbDEVEnter_t>;
  using Read = host::Signature<drav::DravFlashRead_t>;
  using Close = host::Signature<drav::DravUsbClose_t>;
  using Reset = host::Signature<drav::DravUsbReset_t>;
  EXPECT_EQ(check(CreateFlash{}, [](Request& r) { r.args[2] = 0x10000; }), "an argument wider than its parameter");
  EXPECT_EQ(check(CreateFlash{}, [](Request& r) { r.args[2] = 0xFFFF; }), "");
  EXPECT_EQ(check(DevEnter{}, [](Request& r) { r.args[1] = 2; }), "a pointer argument other than set or null");
  EXPECT_EQ(check(DevEnter{}, [](Request& r) { r.outs[1] = 5; }), "an out-value for a null pointer");
  EXPECT_EQ(check(DevEnter{}, [](Request& r) { r.args[1] = 1, r.outs[1] = 0x100; }),
            "an out-value wider than its variable");
  EXPECT_EQ(check(Read{}, [](Request& r) { r.args[2] = 1, r.args[3] = 10, r.payload = 9; }),
            "a buffer whose size is not its length argument");
  EXPECT_EQ(check(Read{}, [](Request& r) { r.args[3] = 10, r.payload = 10; }),
            "a buffer whose size is not its length argument");
  EXPECT_EQ(check(Read{}, [](Request& r) { r.args[2] = 1, r.outs[2] = 1; }), "an out-value for a buffer");
  EXPECT_EQ(check(Close{}, [](Request& r) { r.args[1] = 1; }), "arguments beyond the entry's own");
  EXPECT_EQ(check(Close{}, [](Request& r) { r.outs[0] = 3; }), "an out-value for a value argument");
  EXPECT_EQ(check(Reset{}, [](Request& r) { r.payload = 5; }), "data for a call without a buffer");
}

// A library for the server to call: what it was handed, and fixed answers.
struct StubLibrary {
  static inline std::vector<std::uint8_t> written;
  static drav::BOOL32 DRAV_CALL DevEnter(drav::Handle, std::uint8_t* status) {
    *status = static_cast<std::uint8_t>(*status + 0x80);
    return 1;
  }
  static drav::BOOL32 DRAV_CALL Read(drav::Handle, std::uint32_t address, std::uint8_t* buffer, std::uint32_t length) {
    for (std::uint32_t i = 0; i < length; ++i) buffer[i] = static_cast<std::uint8_t>(address + i);
    return 1;
  }
  static drav::BOOL32 DRAV_CALL Write(drav::Handle, std::uint32_t, const std::uint8_t* buffer, std::uint32_t length) {
    written.assign(buffer, buffer + length);
    return 1;
  }
};

template <typename Sig, typename... A>
void Send(MemoryChannel& channel, drav::Entry entry, A... args) {
  const auto out = Sig::Pack(static_cast<std::uint16_t>(entry), args...);
  channel.Append(host::Encode(out.request));
  if (channel.Shared() != nullptr) {
    if (out.request.payload > 0) std::memcpy(channel.Shared(), out.send, out.request.payload);
  } else if (out.request.payload > 0) {
    channel.Append(out.send, out.request.payload);
  }
}

TEST(LibraryServer, AnswersCallsInBothBufferModesAndStopsAtABrokenRequest) {
  drav::EntryTable table;
  table.DravUsbDEVEnter = &StubLibrary::DevEnter;
  table.DravFlashRead = &StubLibrary::Read;
  table.DravFlashWrite = &StubLibrary::Write;
  using DevEnter = host::Signature<drav::DravUsbDEVEnter_t>;
  using Read = host::Signature<drav::DravFlashRead_t>;
  using Write = host::Signature<drav::DravFlashWrite_t>;

  for (const std::uint32_t shared : {0u, 64u}) {
    SCOPED_TRACE(shared != 0 ? "shared buffer" : "inline buffer");
    MemoryChannel channel({}, shared);
    std::uint8_t status = 1;
    std::uint8_t image[8] = {9, 8, 7, 6, 5, 4, 3, 2};
    std::uint8_t block[8] = {};
    // Queued before serving; the shared buffer then holds the last call's data.
    Send<DevEnter>(channel, drav::Entry::DravUsbDEVEnter, 3u, &status);
    if (shared != 0) {
      host::RequestBytes broken = host::Encode(Request{});
      broken[0] = 'X';
      Send<Write>(channel, drav::Entry::DravFlashWrite, 3u, 0u, image, 8u);
      channel.Append(broken);
    } else {
      Send<Write>(channel, drav::Entry::DravFlashWrite, 3u, 0u, image, 8u);
      Send<Read>(channel, drav::Entry::DravFlashRead, 3u, 0x40u, block, 8u);
      Send<Read>(channel, drav::Entry::DravFlashReset, 3u, 0u, block, 8u);  // no such entry in the stub
    }
    StubLibrary::written.clear();
    EXPECT_EQ(ServeLibrary(channel, nullptr, &table), kProtocolRefused);
    EXPECT_EQ(StubLibrary::written, std::vector<std::uint8_t>(image, image + 8));

    std::size_t at = 0;
    const auto next = [&]() {
      host::ReplyBytes bytes{};
      std::memcpy(bytes.data(), channel.written.data() + at, bytes.size());
      at += bytes.size();
      const auto decoded = host::DecodeReply(bytes);
      EXPECT_TRUE(decoded.reply) << decoded.error;
      return decoded.reply.value_or(Reply{});
    };
    const Reply entered = next();
    EXPECT_EQ(entered.outs[1], 0x81u) << "the library saw the caller's value and wrote its own";
    EXPECT_EQ(next().payload, 0u) << "a const buffer does not come back";
    if (shared == 0) {
      const Reply read = next();
      ASSERT_EQ(read.payload, 8u);
      EXPECT_EQ(std::vector<std::uint8_t>(channel.written.begin() + static_cast<long>(at),
                                          channel.written.begin() + static_cast<long>(at) + 8),
                (std::vector<std::uint8_t>{0x40, 0x41, 0x42, 0x43, 0x44, 0x45, 0x46, 0x47}));
      at += 8;
    }
    const Reply refused = next();
    EXPECT_EQ(refused.kind, host::ReplyKind::Refused);
    const std::string why(channel.written.begin() + static_cast<long>(at), channel.written.end());
    EXPECT_EQ(why, shared != 0 ? "not a request" : "an entry point the library does not have");
  }
  MemoryChannel closed;
  EXPECT_EQ(ServeLibrary(closed, nullptr, &table), 0) << "the program closed the channel";
}

TEST(CallChannel, TakesOnlyTheReplyItAskedFor) {
  using Read = host::Signature<drav::DravFlashRead_t>;
  std::uint8_t block[4] = {1, 2, 3, 4};
  const auto out = Read::Pack(static_cast<std::uint16_t>(drav::Entry::DravFlashRead), 1u, 0u, block, 4u);
  const auto exchange = [&](Reply reply, std::vector<std::uint8_t> after, std::uint32_t shared = 0) {
    MemoryChannel channel({}, shared);
    channel.Append(host::Encode(reply));
    channel.Append(after);
    if (shared != 0) channel.sharedReply = {'w', 'x', 'y', 'z'};
    host::CallChannel calls(channel);
    try {
      calls.Exchange(out.request, out.send, out.receive);
    } catch (const host::ChannelFailure& failure) {
      return failure.broken ? std::string("broken") : failure.reason;
    }
    return std::string();
  };
  Reply returned;
  returned.payload = 4;
  EXPECT_EQ(exchange(returned, {'a', 'b', 'c', 'd'}), "");
  EXPECT_EQ(std::string(block, block + 4), "abcd");
  EXPECT_EQ(exchange(returned, {}, 16), "");
  EXPECT_EQ(std::string(block, block + 4), "wxyz") << "through the shared buffer";
  EXPECT_EQ(exchange(returned, {'a', 'b'}), "broken") << "the channel ended inside the data";
  {
    // A buffer inside the shared buffer travels where it is: no copy in or
    // out, only its place.
    MemoryChannel channel({}, 64);
    channel.Append(host::Encode(returned));
    std::uint8_t* inPlace = channel.Shared() + 16;
    std::memcpy(inPlace, "kept", 4);
    const auto there = Read::Pack(static_cast<std::uint16_t>(drav::Entry::DravFlashRead), 1u, 0u, inPlace, 4u);
    host::CallChannel calls(channel);
    calls.Exchange(there.request, there.send, there.receive);
    ASSERT_EQ(channel.written.size(), host::kRequestBytes);
    EXPECT_EQ(channel.written[52], 16) << "the place of the buffer";
    EXPECT_EQ(std::string(channel.Shared(), channel.Shared() + 4), std::string(4, '\0')) << "nothing was copied";
    EXPECT_EQ(std::string(inPlace, inPlace + 4), "kept");
  }
  {
    // A call of a kind seen before (the same entry point and buffer size)
    // tells the channel when to expect its answer; a marker read of one byte
    // is not a block read.
    MemoryChannel channel({}, 64);
    Reply oneByte = returned;
    oneByte.payload = 1;
    for (const Reply& reply : {returned, returned, oneByte, returned}) channel.Append(host::Encode(reply));
    const auto marker = Read::Pack(static_cast<std::uint16_t>(drav::Entry::DravFlashRead), 1u, 0u, block, 1u);
    host::CallChannel calls(channel);
    calls.Exchange(out.request, out.send, out.receive);
    EXPECT_EQ(channel.answersExpected, 0) << "the first call of its kind";
    calls.Exchange(out.request, out.send, out.receive);
    EXPECT_EQ(channel.answersExpected, 1);
    calls.Exchange(marker.request, marker.send, marker.receive);
    EXPECT_EQ(channel.answersExpected, 1) << "another buffer size";
    calls.Exchange(out.request, out.send, out.receive);
    EXPECT_EQ(channel.answersExpected, 2);
  }
  Reply shorter = returned;
  shorter.payload = 3;
  EXPECT_EQ(exchange(shorter, {'a', 'b', 'c'}), "a buffer of the wrong size");
  Reply freed = returned;
  freed.kind = host::ReplyKind::Freed;
  EXPECT_EQ(exchange(freed, {}), "a reply of another kind");
  Reply refused;
  refused.kind = host::ReplyKind::Refused;
  refused.payload = 2;
  EXPECT_EQ(exchange(refused, {'n', 'o'}), "the request was refused: no");
  host::ReplyBytes half = host::Encode(returned);
  MemoryChannel truncated(std::vector<std::uint8_t>(half.begin(), half.begin() + 20));
  host::CallChannel calls(truncated);
  EXPECT_THROW(calls.Exchange(out.request, out.send, out.receive), host::ChannelFailure);
}

}  // namespace
}  // namespace selvarex
