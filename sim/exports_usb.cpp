// Entry points that talk to the open programmer through its handle.
#include <string>

#include "entry_call.h"
#include "sim_exports.h"

using drav::Entry;
using sim::Args;
using sim::EntryCall;
using sim::RunEntry;

namespace {

// The common shape of a query: a valid handle, then one out-value.
template <typename T>
drav::BOOL32 Query(EntryCall& call, drav::Handle usb, T* out, T value) {
  if (!call.model.objects.IsOpenUsb(usb)) return call.InvalidUsb(usb);
  if (out == nullptr) return call.NullArgument(2);
  call.Out(out, value);
  return 1;
}

drav::BOOL32 DevSwitch(EntryCall& call, drav::Handle usb, std::uint8_t* status, bool exit) {
  if (!call.model.objects.IsOpenUsb(usb)) return call.InvalidUsb(usb);
  if (status == nullptr) return call.NullArgument(2);
  call.Out(status, call.model.programmer.NextDevStatus(exit));
  return 1;
}

drav::BOOL32 Command(EntryCall& call, drav::Handle usb) {
  if (!call.model.objects.IsOpenUsb(usb)) return call.InvalidUsb(usb);
  return 1;
}

}  // namespace

extern "C" {

drav::BOOL32 DRAV_CALL GetFlashID(drav::Handle usb, std::uint16_t* id) {
  return RunEntry<Entry::GetFlashID>(
      Args(usb, id), [&](EntryCall& call) { return Query(call, usb, id, call.model.SelectedChip().identity.flashId); });
}

drav::BOOL32 DRAV_CALL DravUsbGetLoaderVersion(drav::Handle usb, std::uint16_t* version) {
  return RunEntry<Entry::DravUsbGetLoaderVersion>(Args(usb, version), [&](EntryCall& call) {
    return Query(call, usb, version, call.model.programmer.loaderVersion);
  });
}

drav::BOOL32 DRAV_CALL DravUsbGetPldStatus(drav::Handle usb, std::uint32_t* status) {
  return RunEntry<Entry::DravUsbGetPldStatus>(
      Args(usb, status), [&](EntryCall& call) { return Query(call, usb, status, call.model.programmer.pldStatus); });
}

drav::BOOL32 DRAV_CALL DravUsbGetPLDID(drav::Handle usb, std::uint16_t* id) {
  return RunEntry<Entry::DravUsbGetPLDID>(
      Args(usb, id), [&](EntryCall& call) { return Query(call, usb, id, call.model.programmer.pldId); });
}

drav::BOOL32 DRAV_CALL DravUsbResetPLD(drav::Handle usb) {
  return RunEntry<Entry::DravUsbResetPLD>(Args(usb), [&](EntryCall& call) { return Command(call, usb); });
}

drav::BOOL32 DRAV_CALL DravUsbReset(drav::Handle usb) {
  return RunEntry<Entry::DravUsbReset>(Args(usb), [&](EntryCall& call) { return Command(call, usb); });
}

drav::BOOL32 DRAV_CALL DravUsbSetTimeOut(drav::Handle usb, std::int32_t rx, std::int32_t tx) {
  return RunEntry<Entry::DravUsbSetTimeOut>(Args(usb, rx, tx), [&](EntryCall& call) -> drav::BOOL32 {
    if (!call.model.objects.IsOpenUsb(usb)) return call.InvalidUsb(usb);
    if (rx < 0 || tx < 0) {
      return call.Fail("Negative time-out (receive " + std::to_string(rx) + ", transmit " + std::to_string(tx) + ")");
    }
    call.model.programmer.rxTimeOut = rx;
    call.model.programmer.txTimeOut = tx;
    return 1;
  });
}

drav::BOOL32 DRAV_CALL DravUsbDEVEnter(drav::Handle usb, std::uint8_t* status) {
  return RunEntry<Entry::DravUsbDEVEnter>(Args(usb, status),
                                          [&](EntryCall& call) { return DevSwitch(call, usb, status, false); });
}

drav::BOOL32 DRAV_CALL DravUsbDEVExit(drav::Handle usb, std::uint8_t* status) {
  return RunEntry<Entry::DravUsbDEVExit>(Args(usb, status),
                                         [&](EntryCall& call) { return DevSwitch(call, usb, status, true); });
}

drav::BOOL32 DRAV_CALL DravUsbSelectFlash(drav::Handle usb, std::uint32_t index) {
  return RunEntry<Entry::DravUsbSelectFlash>(Args(usb, index), [&](EntryCall& call) -> drav::BOOL32 {
    if (!call.model.objects.IsOpenUsb(usb)) return call.InvalidUsb(usb);
    if (index >= sim::kChipCount) {
      return call.Fail("No flash " + std::to_string(index) + " (the programmer has flash 0 and flash 1)");
    }
    call.model.programmer.selectedChip = index;
    return 1;
  });
}

}  // extern "C"
