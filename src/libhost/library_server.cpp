#include "libhost/library_server.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "device/call_marshalling.h"
#include "device/dravolin_library.h"
#include "device/errors.h"

namespace selvarex {

namespace {

template <typename F>
host::Reply Invoke(F fn, const host::Request& request, std::uint8_t* buffer, std::string& error) {
  using Calls = host::Signature<F>;
  if (fn == nullptr) {
    error = "an entry point the library does not have";
    return {};
  }
  error = Calls::Check(request);
  if (!error.empty()) return {};
  return Calls::Invoke(fn, request, buffer);
}

host::Reply Dispatch(const drav::EntryTable& table, const host::Request& request, std::uint8_t* buffer,
                     std::string& error) {
  switch (static_cast<drav::Entry>(request.entry)) {
#define DRAV_DISPATCH(name, result, params) \
  case drav::Entry::name: return Invoke(table.name, request, buffer, error);
    DRAVOLIN_ENTRY_POINTS(DRAV_DISPATCH)
#undef DRAV_DISPATCH
  }
  error = "an unknown entry point";
  return {};
}

// The payload follows the header unless it is in the shared buffer (null).
bool Send(platform::Channel& channel, const host::Reply& reply, const void* payload) {
  const host::ReplyBytes bytes = host::Encode(reply);
  return channel.WriteAll(bytes.data(), bytes.size()) &&
         (payload == nullptr || reply.payload == 0 || channel.WriteAll(payload, reply.payload));
}

bool SendText(platform::Channel& channel, host::Reply reply, std::string text) {
  if (text.size() > host::kMaxTextBytes) text.resize(host::kMaxTextBytes);
  reply.payload = static_cast<std::uint32_t>(text.size());
  return Send(channel, reply, text.data());
}

int Refuse(platform::Channel& channel, const std::string& why) {
  host::Reply reply;
  reply.kind = host::ReplyKind::Refused;
  SendText(channel, reply, why);
  return kProtocolRefused;
}

// A load or free that ended in an error: its text travels with the reply.
bool SendFailure(platform::Channel& channel, host::ReplyKind kind, const std::exception& error) {
  host::Reply reply;
  reply.kind = kind;
  if (const auto* os = dynamic_cast<const EOSError*>(&error)) {
    reply.outcome = host::Outcome::OsError;
    reply.code = os->code();
    return SendText(channel, reply, os->systemText());
  }
  reply.outcome = host::Outcome::Failed;
  return SendText(channel, reply, error.what());
}

bool Load(platform::Channel& channel, DravolinLibrary& library, std::string file) {
  try {
    library.UseLibraryFile(std::move(file));
    library.Load();
  } catch (const std::exception& error) {
    return SendFailure(channel, host::ReplyKind::Loaded, error);
  }
  host::Reply reply;
  reply.kind = host::ReplyKind::Loaded;
  for (std::size_t i = 0; i < drav::kEntryCount; ++i) {
    if (library.Has(static_cast<drav::Entry>(i))) reply.exports |= std::uint64_t{1} << i;
  }
  return Send(channel, reply, nullptr);
}

bool Free(platform::Channel& channel, DravolinLibrary& library) {
  try {
    library.Unload();
  } catch (const std::exception& error) {
    return SendFailure(channel, host::ReplyKind::Freed, error);
  }
  host::Reply reply;
  reply.kind = host::ReplyKind::Freed;
  return Send(channel, reply, nullptr);
}

}  // namespace

int ServeLibrary(platform::Channel& channel, DravolinLibrary* library, const drav::EntryTable* table) {
  std::vector<std::uint8_t> inlineBuffer;
  for (;;) {
    host::RequestBytes bytes{};
    if (!channel.ReadExact(bytes.data(), bytes.size())) return 0;
    const host::DecodedRequest decoded = host::DecodeRequest(bytes);
    if (!decoded.request) return Refuse(channel, decoded.error);
    const host::Request& request = *decoded.request;

    if (request.kind != host::RequestKind::Call) {
      // A load names its library file, if not the default one, as the call's buffer would travel.
      std::string file(request.payload, '\0');
      if (channel.Shared() != nullptr) {
        if (std::uint64_t{request.offset} + request.payload > channel.SharedSize())
          return Refuse(channel, "a buffer beyond the shared buffer");
        if (request.payload > 0) std::memcpy(file.data(), channel.Shared() + request.offset, request.payload);
      } else if (request.offset != 0) {
        return Refuse(channel, "a place in a shared buffer there is not");
      } else if (request.payload > 0 && !channel.ReadExact(file.data(), request.payload)) {
        return 0;
      }
      if (library == nullptr) return Refuse(channel, "no library to load or free here");
      const bool sent =
          request.kind == host::RequestKind::Load ? Load(channel, *library, std::move(file)) : Free(channel, *library);
      if (!sent) return 0;
      continue;
    }

    // The call's buffer: in the shared buffer, or read after the header.
    std::uint8_t* buffer = channel.Shared();
    if (buffer != nullptr) {
      if (std::uint64_t{request.offset} + request.payload > channel.SharedSize())
        return Refuse(channel, "a buffer beyond the shared buffer");
      buffer += request.offset;
    } else {
      if (request.offset != 0) return Refuse(channel, "a place in a shared buffer there is not");
      inlineBuffer.resize(std::max<std::size_t>(request.payload, 1));
      if (request.payload > 0 && !channel.ReadExact(inlineBuffer.data(), request.payload)) return 0;
      buffer = inlineBuffer.data();
    }
    std::string error;
    const drav::EntryTable& entries = library != nullptr ? library->Api() : *table;
    const host::Reply reply = Dispatch(entries, request, buffer, error);
    if (!error.empty()) return Refuse(channel, error);
    if (!Send(channel, reply, channel.Shared() == nullptr ? buffer : nullptr)) return 0;
  }
}

}  // namespace selvarex
