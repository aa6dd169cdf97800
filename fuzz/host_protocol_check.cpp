#include "host_protocol_check.h"

#include <cstring>
#include <vector>

#include "device/call_channel.h"
#include "device/call_marshalling.h"
#include "libhost/library_server.h"
#include "support/memory_channel.h"

namespace selvarex::fuzz {

namespace {

using host::ParamKind;

constexpr std::uint8_t kGuard = 0xCD;
constexpr std::size_t kGuardBytes = 16;

// A caller's buffer with guard bytes after it.
struct GuardedBuffer {
  explicit GuardedBuffer(std::size_t length) : bytes(length + kGuardBytes, 0x11), length(length) {
    std::memset(bytes.data() + length, kGuard, kGuardBytes);
  }
  bool Intact() const {
    for (std::size_t i = length; i < bytes.size(); ++i) {
      if (bytes[i] != kGuard) return false;
    }
    return true;
  }
  std::vector<std::uint8_t> bytes;
  std::size_t length;
};

// One call through CallChannel as a proxy makes it; false when refused.
template <typename Sig, typename... A>
bool Exchange(test::MemoryChannel& channel, drav::Entry entry, A... args) {
  host::CallChannel calls(channel);
  const auto out = Sig::Pack(static_cast<std::uint16_t>(entry), args...);
  try {
    const host::Reply reply = calls.Exchange(out.request, out.send, out.receive);
    if (!Sig::CheckReply(reply, args...).empty()) return false;
    Sig::WriteOuts(reply, args...);
    return true;
  } catch (const host::ChannelFailure&) {
    return false;
  } catch (const host::BufferTooLarge&) {
    return false;
  }
}

// Out-values between guards: a write wider than its variable shows.
template <typename T>
struct GuardedValue {
  std::uint8_t before[8];
  T value;
  std::uint8_t after[8];
  GuardedValue() : value(T{0x5A}) {
    std::memset(before, kGuard, sizeof before);
    std::memset(after, kGuard, sizeof after);
  }
  bool Intact() const {
    for (std::uint8_t b : before)
      if (b != kGuard) return false;
    for (std::uint8_t b : after)
      if (b != kGuard) return false;
    return true;
  }
};

// The library the host serves in the request check: every argument it is
// handed is used as its signature says, so a wrong pointer or length shows.
template <typename F>
struct Stub;
template <typename R, typename... P>
struct Stub<R(DRAV_CALL*)(P...)> {
  using Sig = host::Signature<R(DRAV_CALL*)(P...)>;
  static R DRAV_CALL Call(P... params) {
    Touch(std::index_sequence_for<P...>{}, params...);
    return R{1};
  }
  template <std::size_t... I>
  static void Touch(std::index_sequence<I...>, P... params) {
    const std::tuple<P...> args{params...};
    (TouchOne<I>(args), ...);
  }
  template <std::size_t I>
  static void TouchOne(const std::tuple<P...>& args) {
    using T = std::tuple_element_t<I, std::tuple<P...>>;
    if constexpr (Sig::kKinds[I] == ParamKind::OutValue) {
      T value = std::get<I>(args);
      if (value != nullptr) *value = static_cast<std::remove_pointer_t<T>>(*value + 1);
    } else if constexpr (Sig::kKinds[I] == ParamKind::BufferOut) {
      T buffer = std::get<I>(args);
      const auto length = static_cast<std::uint32_t>(std::get<I + 1>(args));
      if (buffer != nullptr && length > 0) std::memset(buffer, 0x3C, length);
    } else if constexpr (Sig::kKinds[I] == ParamKind::BufferIn) {
      T buffer = std::get<I>(args);
      const auto length = static_cast<std::uint32_t>(std::get<I + 1>(args));
      volatile std::uint8_t sum = 0;
      for (std::uint32_t i = 0; buffer != nullptr && i < length; ++i) sum = static_cast<std::uint8_t>(sum + buffer[i]);
    }
  }
};

drav::EntryTable StubTable() {
  drav::EntryTable table;
#define FUZZ_STUB(name, result, params) table.name = &Stub<drav::name##_t>::Call;
  DRAVOLIN_ENTRY_POINTS(FUZZ_STUB)
#undef FUZZ_STUB
  return table;
}

}  // namespace

std::string CheckHostReply(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return {};
  const std::uint32_t shared = (data[0] & 0x80) != 0 ? 4096u : 0u;
  test::MemoryChannel channel(std::vector<std::uint8_t>(data + 2, data + size), shared);
  const std::uint32_t length = data[1];
  switch (data[0] % 4) {
    case 0: {
      GuardedValue<std::int32_t> running, timedOut;
      GuardedValue<std::uint32_t> ticks;
      GuardedValue<std::uint8_t> value;
      Exchange<host::Signature<drav::DravCounterGet_t>>(channel, drav::Entry::DravCounterGet, 1u, &running.value,
                                                        &ticks.value, &value.value, &timedOut.value);
      if (!running.Intact() || !ticks.Intact() || !value.Intact() || !timedOut.Intact())
        return "an out-value was written past its width";
      return {};
    }
    case 1: {
      GuardedBuffer block(length);
      const bool taken = Exchange<host::Signature<drav::DravFlashRead_t>>(channel, drav::Entry::DravFlashRead, 1u, 0u,
                                                                          block.bytes.data(), length);
      if (!block.Intact()) return "bytes were written past the read buffer";
      (void)taken;
      return {};
    }
    case 2: {
      GuardedBuffer text(length);
      Exchange<host::Signature<drav::DravGetLastError_t>>(channel, drav::Entry::DravGetLastError,
                                                          reinterpret_cast<char*>(text.bytes.data()), length);
      if (!text.Intact()) return "bytes were written past the text buffer";
      return {};
    }
    default: {
      GuardedValue<std::uint8_t> status;
      if (Exchange<host::Signature<drav::DravUsbDEVEnter_t>>(channel, drav::Entry::DravUsbDEVEnter, 1u,
                                                             &status.value) &&
          !status.Intact())
        return "the status byte was written past its width";
      return {};
    }
  }
}

std::string CheckHostRequests(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return {};
  static const drav::EntryTable stubs = StubTable();
  const bool shared = (data[0] & 1) != 0;
  test::MemoryChannel channel(std::vector<std::uint8_t>(data + 1, data + size), shared ? 65536u : 0u);
  const int result = ServeLibrary(channel, nullptr, &stubs);
  if (result != 0 && result != kProtocolRefused) return "the host ended with " + std::to_string(result);

  // Every answer it wrote is a well-formed reply; a refusal is the last one.
  std::size_t at = 0;
  while (at < channel.written.size()) {
    if (channel.written.size() - at < host::kReplyBytes) return "a reply cut short";
    host::ReplyBytes bytes{};
    std::memcpy(bytes.data(), channel.written.data() + at, bytes.size());
    at += bytes.size();
    const host::DecodedReply decoded = host::DecodeReply(bytes);
    if (!decoded.reply) return "a malformed reply: " + decoded.error;
    if (!shared) at += decoded.reply->payload;
    if (decoded.reply->kind == host::ReplyKind::Refused) {
      if (shared) at += decoded.reply->payload;
      if (at != channel.written.size()) return "answers after a refusal";
      if (result != kProtocolRefused) return "a refusal without ending";
    }
  }
  if (at != channel.written.size()) return "replies and their data do not add up";
  return {};
}

}  // namespace selvarex::fuzz
