#include "device/host_proxies.h"

#include "device/call_marshalling.h"
#include "device/host_session.h"

namespace selvarex {

namespace {

template <drav::Entry E, typename F>
struct HostProxy;

template <drav::Entry E, typename R, typename... P>
struct HostProxy<E, R(DRAV_CALL*)(P...)> {
  static R DRAV_CALL Call(P... params) {
    return host::Signature<R(DRAV_CALL*)(P...)>::Forward(HostSession::Active(E), E, params...);
  }
};

}  // namespace

drav::EntryTable HostEntryTable(std::uint64_t exports) {
  drav::EntryTable table;
#define DRAV_PROXY(name, result, params)                              \
  if ((exports >> static_cast<int>(drav::Entry::name)) & 1u) {        \
    table.name = &HostProxy<drav::Entry::name, drav::name##_t>::Call; \
  }
  DRAVOLIN_ENTRY_POINTS(DRAV_PROXY)
#undef DRAV_PROXY
  return table;
}

}  // namespace selvarex
