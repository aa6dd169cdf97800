// How one call of an entry point crosses between the program and its library
// host, derived from the entry's function type so no signature is written
// twice. A parameter is one of:
//   a value (any integer): travels as its 32-bit slot;
//   an out-value (pointer to an integer): travels as set/null and its current
//     value, comes back at its own width;
//   a buffer (char*, std::uint8_t* or const std::uint8_t* followed by its
//     std::uint32_t length): its bytes travel beside the header, and come back
//     unless the buffer is const.
#pragma once

#include <array>
#include <cstdint>
#include <limits>
#include <string>
#include <tuple>
#include <type_traits>
#include <utility>

#include "device/host_protocol.h"

namespace selvarex::host {

enum class ParamKind { Value, OutValue, BufferOut, BufferIn };

template <typename T>
constexpr bool kIsBytePointer =
    std::is_same_v<T, char*> || std::is_same_v<T, std::uint8_t*> || std::is_same_v<T, const std::uint8_t*>;

template <typename... P>
constexpr std::array<ParamKind, sizeof...(P)> KindsOf() {
  constexpr std::size_t n = sizeof...(P);
  constexpr std::array<bool, n> bytePointer{kIsBytePointer<P>...};
  constexpr std::array<bool, n> pointer{std::is_pointer_v<P>...};
  constexpr std::array<bool, n> length{std::is_same_v<P, std::uint32_t>...};
  constexpr std::array<bool, n> constant{std::is_same_v<P, const std::uint8_t*>...};
  std::array<ParamKind, n> kinds{};
  for (std::size_t i = 0; i < n; ++i) {
    if (bytePointer[i] && i + 1 < n && length[i + 1]) {
      kinds[i] = constant[i] ? ParamKind::BufferIn : ParamKind::BufferOut;
    } else {
      kinds[i] = pointer[i] ? ParamKind::OutValue : ParamKind::Value;
    }
  }
  return kinds;
}

// Whether a 32-bit slot holds a value of T (sign-extended for signed T).
template <typename T>
constexpr bool FitsSlot(std::uint32_t slot) {
  if constexpr (std::is_signed_v<T>) {
    const auto value = static_cast<std::int32_t>(slot);
    return value >= std::numeric_limits<T>::min() && value <= std::numeric_limits<T>::max();
  } else {
    return slot <= std::numeric_limits<T>::max();
  }
}

template <typename T>
constexpr std::uint32_t ToSlot(T value) {
  if constexpr (std::is_signed_v<T>) {
    return static_cast<std::uint32_t>(static_cast<std::int32_t>(value));
  } else {
    return static_cast<std::uint32_t>(value);
  }
}

template <typename F>
struct Signature;

template <typename R, typename... P>
struct Signature<R(DRAV_CALL*)(P...)> {
  using Result = R;
  static constexpr std::size_t kCount = sizeof...(P);
  static constexpr std::array<ParamKind, kCount> kKinds = KindsOf<P...>();
  static_assert(kCount <= kMaxArgs, "an entry point with more arguments than a request carries");
  static_assert(std::is_integral_v<R>, "entry points return 32-bit values");

  static constexpr std::size_t BufferCount() {
    std::size_t count = 0;
    for (ParamKind kind : kKinds) count += kind == ParamKind::BufferIn || kind == ParamKind::BufferOut;
    return count;
  }
  static_assert(BufferCount() <= 1, "one buffer per call");

  // The program's side: the request for a call with these arguments, and
  // where its buffer lies.
  struct Outgoing {
    Request request;
    const std::uint8_t* send = nullptr;  // bytes that travel to the host
    std::uint8_t* receive = nullptr;     // where the bytes that come back go
  };

  static Outgoing Pack(std::uint16_t entry, P... params) {
    Outgoing out;
    out.request.kind = RequestKind::Call;
    out.request.entry = entry;
    const std::tuple<P...> args{params...};
    PackEach(out, args, std::index_sequence_for<P...>{});
    return out;
  }

  // Checks a reply against the call as the program made it: an empty text,
  // or why the reply is refused.
  static std::string CheckReply(const Reply& reply, P... params) {
    const std::tuple<P...> args{params...};
    return CheckEach(reply, args, std::index_sequence_for<P...>{});
  }

  // Writes the out-values of a checked reply, each at its own width.
  static void WriteOuts(const Reply& reply, P... params) {
    const std::tuple<P...> args{params...};
    WriteEach(reply, args, std::index_sequence_for<P...>{});
  }

  // The whole call on the program's side, through a session that sends a
  // request and returns its reply (Call) and that ends itself without
  // returning when a reply is malformed (Malformed).
  template <typename Session>
  static R Forward(Session& session, drav::Entry entry, P... params) {
    const Outgoing out = Pack(static_cast<std::uint16_t>(entry), params...);
    const Reply reply = session.Call(entry, out.request, out.send, out.receive);
    const std::string error = CheckReply(reply, params...);
    if (!error.empty()) session.Malformed(entry, error);
    WriteOuts(reply, params...);
    return static_cast<R>(reply.result);
  }

  // The host's side: checks a request against the signature; an empty text
  // when it may be called.
  static std::string Check(const Request& request) {
    for (std::size_t i = kCount; i < kMaxArgs; ++i) {
      if (request.args[i] != 0 || request.outs[i] != 0) return "arguments beyond the entry's own";
    }
    return CheckRequestEach(request, std::index_sequence_for<P...>{});
  }

  // Calls fn with the arguments of a request that passed Check; buffer holds
  // the request's payload. Returns the reply: result, out-values and, for an
  // out buffer, how many of its bytes go back.
  static Reply Invoke(R(DRAV_CALL* fn)(P...), const Request& request, std::uint8_t* buffer) {
    return InvokeWith(fn, request, buffer, std::index_sequence_for<P...>{});
  }

 private:
  template <std::size_t I>
  using Param = std::tuple_element_t<I, std::tuple<P...>>;

  // The length that follows the buffer at I.
  template <std::size_t I>
  static std::uint32_t LengthAfter(const std::tuple<P...>& args) {
    if constexpr (I + 1 < kCount) {
      return static_cast<std::uint32_t>(std::get<I + 1>(args));
    } else {
      return 0;
    }
  }

  template <std::size_t... I>
  static void PackEach(Outgoing& out, const std::tuple<P...>& args, std::index_sequence<I...>) {
    (PackOne<I>(out, args), ...);
  }
  template <std::size_t I>
  static void PackOne(Outgoing& out, const std::tuple<P...>& args) {
    const Param<I> value = std::get<I>(args);
    Request& request = out.request;
    if constexpr (kKinds[I] == ParamKind::Value) {
      request.args[I] = ToSlot(value);
    } else if constexpr (kKinds[I] == ParamKind::OutValue) {
      request.args[I] = value != nullptr ? 1u : 0u;
      request.outs[I] = value != nullptr ? ToSlot(*value) : 0u;
    } else {
      request.args[I] = value != nullptr ? 1u : 0u;
      if (value == nullptr) return;
      request.payload = LengthAfter<I>(args);
      out.send = reinterpret_cast<const std::uint8_t*>(value);
      if constexpr (kKinds[I] == ParamKind::BufferOut) {
        out.receive = reinterpret_cast<std::uint8_t*>(value);
      }
    }
  }

  template <std::size_t... I>
  static std::string CheckEach(const Reply& reply, const std::tuple<P...>& args, std::index_sequence<I...>) {
    std::string error;
    ((error.empty() ? void(error = CheckOne<I>(reply, args)) : void()), ...);
    if (!error.empty()) return error;
    for (std::size_t i = kCount; i < kMaxArgs; ++i) {
      if (reply.outs[i] != 0) return "out-values the entry does not have";
    }
    if (BufferCount() == 0 && reply.payload != 0) return "data the call did not ask for";
    return {};
  }
  template <std::size_t I>
  static std::string CheckOne(const Reply& reply, const std::tuple<P...>& args) {
    const Param<I> value = std::get<I>(args);
    if constexpr (kKinds[I] == ParamKind::OutValue) {
      if (value == nullptr && reply.outs[I] != 0) return "an out-value for a null pointer";
      if (!FitsSlot<std::remove_pointer_t<Param<I>>>(reply.outs[I])) return "an out-value wider than its variable";
    } else {
      if (reply.outs[I] != 0) return "an out-value for an argument that has none";
      if constexpr (kKinds[I] == ParamKind::BufferOut || kKinds[I] == ParamKind::BufferIn) {
        const bool back = kKinds[I] == ParamKind::BufferOut && value != nullptr;
        if (reply.payload != (back ? LengthAfter<I>(args) : 0u)) return "a buffer of the wrong size";
      }
    }
    return {};
  }

  template <std::size_t... I>
  static void WriteEach(const Reply& reply, const std::tuple<P...>& args, std::index_sequence<I...>) {
    (WriteOne<I>(reply, args), ...);
  }
  template <std::size_t I>
  static void WriteOne(const Reply& reply, const std::tuple<P...>& args) {
    if constexpr (kKinds[I] == ParamKind::OutValue) {
      using T = std::remove_pointer_t<Param<I>>;
      const Param<I> value = std::get<I>(args);
      if (value != nullptr) *value = static_cast<T>(reply.outs[I]);
    }
  }

  template <std::size_t... I>
  static std::string CheckRequestEach(const Request& request, std::index_sequence<I...>) {
    std::string error;
    ((error.empty() ? void(error = CheckRequestOne<I>(request)) : void()), ...);
    if (!error.empty()) return error;
    if (BufferCount() == 0 && request.payload != 0) return "data for a call without a buffer";
    return {};
  }
  template <std::size_t I>
  static std::string CheckRequestOne(const Request& request) {
    using T = Param<I>;
    if constexpr (kKinds[I] == ParamKind::Value) {
      if (request.outs[I] != 0) return "an out-value for a value argument";
      if (!FitsSlot<T>(request.args[I])) return "an argument wider than its parameter";
    } else {
      if (request.args[I] > 1) return "a pointer argument other than set or null";
      if constexpr (kKinds[I] == ParamKind::OutValue) {
        if (request.args[I] == 0 && request.outs[I] != 0) return "an out-value for a null pointer";
        if (!FitsSlot<std::remove_pointer_t<T>>(request.outs[I])) return "an out-value wider than its variable";
      } else {
        if (request.outs[I] != 0) return "an out-value for a buffer";
        if constexpr (I + 1 < kCount) {
          const std::uint32_t expected = request.args[I] != 0 ? request.args[I + 1] : 0u;
          if (request.payload != expected) return "a buffer whose size is not its length argument";
        }
      }
    }
    return {};
  }

  // Storage of an out-value for the host's call; other kinds need none.
  template <std::size_t I>
  using Stored = std::conditional_t<kKinds[I] == ParamKind::OutValue, std::remove_pointer_t<Param<I>>, std::uint32_t>;

  template <std::size_t I>
  static Stored<I> InitialValue(const Request& request) {
    return static_cast<Stored<I>>(request.outs[I]);
  }

  template <std::size_t I>
  static Param<I> Argument(Stored<I>& stored, const Request& request, std::uint8_t* buffer) {
    if constexpr (kKinds[I] == ParamKind::Value) {
      if constexpr (std::is_signed_v<Param<I>>) {
        return static_cast<Param<I>>(static_cast<std::int32_t>(request.args[I]));
      } else {
        return static_cast<Param<I>>(request.args[I]);
      }
    } else if constexpr (kKinds[I] == ParamKind::OutValue) {
      return request.args[I] != 0 ? &stored : nullptr;
    } else {
      return request.args[I] != 0 ? reinterpret_cast<Param<I>>(buffer) : nullptr;
    }
  }

  template <std::size_t I>
  static void StoreOut(Reply& reply, const Request& request, const Stored<I>& stored) {
    if constexpr (kKinds[I] == ParamKind::OutValue) {
      if (request.args[I] != 0) reply.outs[I] = ToSlot(stored);
    } else if constexpr (kKinds[I] == ParamKind::BufferOut) {
      if (request.args[I] != 0) reply.payload = request.payload;
    }
  }

  template <std::size_t... I>
  static Reply InvokeWith(R(DRAV_CALL* fn)(P...), [[maybe_unused]] const Request& request,
                          [[maybe_unused]] std::uint8_t* buffer, std::index_sequence<I...>) {
    std::tuple<Stored<I>...> stored{InitialValue<I>(request)...};
    Reply reply;
    reply.kind = ReplyKind::Returned;
    reply.result = ToSlot(fn(Argument<I>(std::get<I>(stored), request, buffer)...));
    (StoreOut<I>(reply, request, std::get<I>(stored)), ...);
    return reply;
  }
};

}  // namespace selvarex::host
