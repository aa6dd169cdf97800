// Entry points that need no programmer handle: the library's own versions, the
// programmer count, opening the programmer and the last error.
#include "entry_call.h"
#include "sim_exports.h"
#include "text_output.h"

using drav::Entry;
using sim::Args;
using sim::EntryCall;
using sim::RunEntry;

namespace {

drav::BOOL32 ReportVersion(EntryCall& call, std::uint32_t* high, std::uint32_t* low, std::uint32_t highValue,
                           std::uint32_t lowValue) {
  if (high == nullptr) return call.NullArgument(1);
  if (low == nullptr) return call.NullArgument(2);
  call.Out(high, highValue);
  call.Out(low, lowValue);
  return 1;
}

}  // namespace

extern "C" {

drav::Handle DRAV_CALL DravUsbOpen(void) {
  return RunEntry<Entry::DravUsbOpen>(Args(), [&](EntryCall& call) -> drav::Handle {
    if (call.model.programmer.deviceCount == 0) return call.Fail("No Dravolin programmer is connected");
    return call.model.objects.OpenUsb();
  });
}

drav::BOOL32 DRAV_CALL DravUsbClose(drav::Handle usb) {
  return RunEntry<Entry::DravUsbClose>(Args(usb), [&](EntryCall& call) -> drav::BOOL32 {
    if (!call.model.objects.CloseUsb(usb)) return call.InvalidUsb(usb);
    return 1;
  });
}

drav::BOOL32 DRAV_CALL DravGetLastError(char* text, std::uint32_t size) {
  return RunEntry<Entry::DravGetLastError>(Args(text, size), [&](EntryCall& call) -> drav::BOOL32 {
    // Telling the error is no new error: the text stays as it is.
    if (text == nullptr || size == 0) return 0;
    if (!call.model.lastError) {
      text[0] = '\0';
      return 0;
    }
    sim::WriteText(text, size, *call.model.lastError, call.TextsWithoutNul());
    return 1;
  });
}

drav::BOOL32 DRAV_CALL DravUsbGetDLLVersion(std::uint32_t* high, std::uint32_t* low) {
  return RunEntry<Entry::DravUsbGetDLLVersion>(Args(high, low), [&](EntryCall& call) {
    const sim::ProgrammerState& p = call.model.programmer;
    return ReportVersion(call, high, low, p.dllHigh, p.dllLow);
  });
}

drav::BOOL32 DRAV_CALL DravUsbGetDriverVersion(std::uint32_t* high, std::uint32_t* low) {
  return RunEntry<Entry::DravUsbGetDriverVersion>(Args(high, low), [&](EntryCall& call) {
    const sim::ProgrammerState& p = call.model.programmer;
    return ReportVersion(call, high, low, p.driverHigh, p.driverLow);
  });
}

drav::BOOL32 DRAV_CALL DravUsbDeviceCount(std::uint32_t* count) {
  return RunEntry<Entry::DravUsbDeviceCount>(Args(count), [&](EntryCall& call) -> drav::BOOL32 {
    if (count == nullptr) return call.NullArgument(1);
    call.Out(count, call.model.programmer.deviceCount);
    return 1;
  });
}

}  // extern "C"
