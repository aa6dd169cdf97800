// The relay library: a Dravolin.dll whose entry points hand every call on to
// the simulated programmer in the test program, over the link that program
// names. Loaded by the library host, it lets the tests drive the program
// through its host while the simulator and its control interface stay in the
// test program, across host restarts.
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "device/call_channel.h"
#include "device/call_marshalling.h"
#include "relay_link.h"
#include "sim/sim_exports.h"

namespace {

using drav::Entry;
using selvarex::host::Signature;

class RelaySession {
 public:
  static RelaySession& Get() {
    static RelaySession session;
    return session;
  }

  selvarex::host::Reply Call(Entry, const selvarex::host::Request& request, const std::uint8_t* send,
                             std::uint8_t* receive) {
    try {
      return channel_->Exchange(request, send, receive);
    } catch (const selvarex::host::ChannelFailure&) {
      // The test program cut the link: the host ends as if the library crashed.
      std::_Exit(sim::relay::kLinkCutExitCode);
    }
  }
  [[noreturn]] void Malformed(Entry, const std::string&) { std::_Exit(sim::relay::kLinkCutExitCode); }

 private:
  RelaySession() {
    const char* endpoint = std::getenv(sim::relay::kEndpointVariable);
    link_ = endpoint != nullptr ? sim::relay::Connect(endpoint) : nullptr;
    if (link_ == nullptr) {
      std::fprintf(stderr, "relay Dravolin.dll: no simulated programmer at %s\n",
                   endpoint != nullptr ? endpoint : "(SELVAREX_SIM_RELAY is not set)");
      std::_Exit(sim::relay::kLinkCutExitCode);
    }
    channel_ = std::make_unique<selvarex::host::CallChannel>(*link_);
  }

  std::unique_ptr<selvarex::platform::Channel> link_;
  std::unique_ptr<selvarex::host::CallChannel> channel_;
};

template <Entry E, typename F, typename... A>
auto Relay(A... arguments) {
  return Signature<F>::Forward(RelaySession::Get(), E, arguments...);
}

}  // namespace

#define RELAY(name) Relay<Entry::name, drav::name##_t>

extern "C" {

drav::Handle DRAV_CALL DravUsbOpen(void) { return RELAY(DravUsbOpen)(); }
drav::BOOL32 DRAV_CALL DravUsbClose(drav::Handle usb) { return RELAY(DravUsbClose)(usb); }
drav::BOOL32 DRAV_CALL DravGetLastError(char* text, std::uint32_t size) { return RELAY(DravGetLastError)(text, size); }
drav::BOOL32 DRAV_CALL DravUsbGetDLLVersion(std::uint32_t* high, std::uint32_t* low) {
  return RELAY(DravUsbGetDLLVersion)(high, low);
}
drav::BOOL32 DRAV_CALL DravUsbGetDriverVersion(std::uint32_t* high, std::uint32_t* low) {
  return RELAY(DravUsbGetDriverVersion)(high, low);
}
drav::BOOL32 DRAV_CALL GetFlashID(drav::Handle usb, std::uint16_t* id) { return RELAY(GetFlashID)(usb, id); }
drav::BOOL32 DRAV_CALL DravUsbGetLoaderVersion(drav::Handle usb, std::uint16_t* version) {
  return RELAY(DravUsbGetLoaderVersion)(usb, version);
}
drav::BOOL32 DRAV_CALL DravUsbGetPldStatus(drav::Handle usb, std::uint32_t* status) {
  return RELAY(DravUsbGetPldStatus)(usb, status);
}
drav::BOOL32 DRAV_CALL DravUsbGetPLDID(drav::Handle usb, std::uint16_t* id) { return RELAY(DravUsbGetPLDID)(usb, id); }
drav::BOOL32 DRAV_CALL DravUsbResetPLD(drav::Handle usb) { return RELAY(DravUsbResetPLD)(usb); }
drav::BOOL32 DRAV_CALL DravUsbReset(drav::Handle usb) { return RELAY(DravUsbReset)(usb); }
drav::BOOL32 DRAV_CALL DravUsbSetTimeOut(drav::Handle usb, std::int32_t rx, std::int32_t tx) {
  return RELAY(DravUsbSetTimeOut)(usb, rx, tx);
}
drav::BOOL32 DRAV_CALL DravUsbDeviceCount(std::uint32_t* count) { return RELAY(DravUsbDeviceCount)(count); }
drav::BOOL32 DRAV_CALL DravUsbDEVEnter(drav::Handle usb, std::uint8_t* status) {
  return RELAY(DravUsbDEVEnter)(usb, status);
}
drav::BOOL32 DRAV_CALL DravUsbDEVExit(drav::Handle usb, std::uint8_t* status) {
  return RELAY(DravUsbDEVExit)(usb, status);
}
drav::BOOL32 DRAV_CALL DravUsbSelectFlash(drav::Handle usb, std::uint32_t index) {
  return RELAY(DravUsbSelectFlash)(usb, index);
}
drav::Handle DRAV_CALL DravDevCreate(void) { return RELAY(DravDevCreate)(); }
drav::BOOL32 DRAV_CALL DravDevDestroy(drav::Handle device) { return RELAY(DravDevDestroy)(device); }
drav::BOOL32 DRAV_CALL DravDevIsSupported(drav::Handle device, std::uint32_t flashId, std::uint32_t* flag) {
  return RELAY(DravDevIsSupported)(device, flashId, flag);
}
drav::BOOL32 DRAV_CALL DravDevIsProdSupported(drav::Handle device, std::uint32_t flashId, std::uint32_t* flag) {
  return RELAY(DravDevIsProdSupported)(device, flashId, flag);
}
drav::BOOL32 DRAV_CALL DravDevGetFullName(drav::Handle device, std::uint32_t flashId, char* text, std::uint32_t size) {
  return RELAY(DravDevGetFullName)(device, flashId, text, size);
}
drav::BOOL32 DRAV_CALL DravDevGetProdName(drav::Handle device, std::uint32_t flashId, char* text, std::uint32_t size) {
  return RELAY(DravDevGetProdName)(device, flashId, text, size);
}
drav::BOOL32 DRAV_CALL DravDevSetWVerify(drav::Handle device, std::uint32_t flag) {
  return RELAY(DravDevSetWVerify)(device, flag);
}
drav::BOOL32 DRAV_CALL DravDevGetFlashID(drav::Handle device, drav::Handle usb, std::uint16_t* id) {
  return RELAY(DravDevGetFlashID)(device, usb, id);
}
drav::Handle DRAV_CALL DravDevCreateFlash(drav::Handle device, drav::Handle usb, std::uint16_t flashId) {
  return RELAY(DravDevCreateFlash)(device, usb, flashId);
}
drav::BOOL32 DRAV_CALL DravFlashBlank(drav::Handle flash, std::uint32_t* value) {
  return RELAY(DravFlashBlank)(flash, value);
}
drav::BOOL32 DRAV_CALL DravFlashEraseAll(drav::Handle flash) { return RELAY(DravFlashEraseAll)(flash); }
drav::BOOL32 DRAV_CALL DravFlashEraseSector(drav::Handle flash, std::uint32_t address) {
  return RELAY(DravFlashEraseSector)(flash, address);
}
drav::BOOL32 DRAV_CALL DravFlashReset(drav::Handle flash) { return RELAY(DravFlashReset)(flash); }
drav::BOOL32 DRAV_CALL DravFlashGetDeviceSize(drav::Handle flash, std::uint32_t* size) {
  return RELAY(DravFlashGetDeviceSize)(flash, size);
}
drav::BOOL32 DRAV_CALL DravFlashSetWVerify(drav::Handle flash, std::uint32_t flag) {
  return RELAY(DravFlashSetWVerify)(flash, flag);
}
drav::BOOL32 DRAV_CALL DravFlashRead(drav::Handle flash, std::uint32_t address, std::uint8_t* buffer,
                                     std::uint32_t length) {
  return RELAY(DravFlashRead)(flash, address, buffer, length);
}
drav::BOOL32 DRAV_CALL DravFlashWrite(drav::Handle flash, std::uint32_t address, const std::uint8_t* buffer,
                                      std::uint32_t length) {
  return RELAY(DravFlashWrite)(flash, address, buffer, length);
}
drav::BOOL32 DRAV_CALL DravCounterStart(drav::Handle flash) { return RELAY(DravCounterStart)(flash); }
drav::BOOL32 DRAV_CALL DravCounterGet(drav::Handle flash, std::int32_t* running, std::uint32_t* ticks,
                                      std::uint8_t* value, std::int32_t* timedOut) {
  return RELAY(DravCounterGet)(flash, running, ticks, value, timedOut);
}
drav::BOOL32 DRAV_CALL DravCounterReset(drav::Handle flash) { return RELAY(DravCounterReset)(flash); }

}  // extern "C"
