// Entry points of device objects: what the library knows about chip types,
// and the flash objects that act on a chip.
#include <string>

#include "entry_call.h"
#include "sim_exports.h"
#include "text_output.h"

using drav::Entry;
using sim::Args;
using sim::EntryCall;
using sim::RunEntry;

namespace {

drav::BOOL32 SupportFlag(EntryCall& call, drav::Handle device, std::uint32_t flashId, std::uint32_t* flag,
                         bool sim::ChipIdentity::*which) {
  if (!call.model.objects.IsDevice(device)) return call.InvalidDevice(device);
  if (flag == nullptr) return call.NullArgument(3);
  const sim::NandChip* chip = call.model.ChipWithId(flashId);
  call.Out(flag, std::uint32_t{chip != nullptr && chip->identity.*which});
  return 1;
}

drav::BOOL32 Name(EntryCall& call, drav::Handle device, std::uint32_t flashId, char* text, std::uint32_t size,
                  std::string sim::ChipIdentity::*which) {
  if (!call.model.objects.IsDevice(device)) return call.InvalidDevice(device);
  if (text == nullptr) return call.NullArgument(3);
  if (size == 0) return call.Fail("Buffer size 0 (argument 4)");
  const sim::NandChip* chip = call.model.ChipWithId(flashId);
  if (chip == nullptr) return call.UnknownFlashId(flashId);
  if (!call.SkipOutValues()) sim::WriteText(text, size, chip->identity.*which, call.TextsWithoutNul());
  return 1;
}

}  // namespace

extern "C" {

drav::Handle DRAV_CALL DravDevCreate(void) {
  return RunEntry<Entry::DravDevCreate>(Args(), [&](EntryCall& call) { return call.model.objects.CreateDevice(); });
}

drav::BOOL32 DRAV_CALL DravDevDestroy(drav::Handle device) {
  return RunEntry<Entry::DravDevDestroy>(Args(device), [&](EntryCall& call) -> drav::BOOL32 {
    if (!call.model.objects.DestroyDevice(device)) return call.InvalidDevice(device);
    return 1;
  });
}

drav::BOOL32 DRAV_CALL DravDevIsSupported(drav::Handle device, std::uint32_t flashId, std::uint32_t* flag) {
  return RunEntry<Entry::DravDevIsSupported>(Args(device, flashId, flag), [&](EntryCall& call) {
    return SupportFlag(call, device, flashId, flag, &sim::ChipIdentity::supported);
  });
}

drav::BOOL32 DRAV_CALL DravDevIsProdSupported(drav::Handle device, std::uint32_t flashId, std::uint32_t* flag) {
  return RunEntry<Entry::DravDevIsProdSupported>(Args(device, flashId, flag), [&](EntryCall& call) {
    return SupportFlag(call, device, flashId, flag, &sim::ChipIdentity::prodSupported);
  });
}

drav::BOOL32 DRAV_CALL DravDevGetFullName(drav::Handle device, std::uint32_t flashId, char* text, std::uint32_t size) {
  return RunEntry<Entry::DravDevGetFullName>(Args(device, flashId, text, size), [&](EntryCall& call) {
    return Name(call, device, flashId, text, size, &sim::ChipIdentity::fullName);
  });
}

drav::BOOL32 DRAV_CALL DravDevGetProdName(drav::Handle device, std::uint32_t flashId, char* text, std::uint32_t size) {
  return RunEntry<Entry::DravDevGetProdName>(Args(device, flashId, text, size), [&](EntryCall& call) {
    return Name(call, device, flashId, text, size, &sim::ChipIdentity::prodName);
  });
}

drav::BOOL32 DRAV_CALL DravDevSetWVerify(drav::Handle device, std::uint32_t flag) {
  return RunEntry<Entry::DravDevSetWVerify>(Args(device, flag), [&](EntryCall& call) -> drav::BOOL32 {
    // Accepted and forgotten: verify belongs to the flash objects.
    if (!call.model.objects.IsDevice(device)) return call.InvalidDevice(device);
    return 1;
  });
}

drav::BOOL32 DRAV_CALL DravDevGetFlashID(drav::Handle device, drav::Handle usb, std::uint16_t* id) {
  return RunEntry<Entry::DravDevGetFlashID>(Args(device, usb, id), [&](EntryCall& call) -> drav::BOOL32 {
    if (!call.model.objects.IsDevice(device)) return call.InvalidDevice(device);
    if (!call.model.objects.IsOpenUsb(usb)) return call.InvalidUsb(usb);
    if (id == nullptr) return call.NullArgument(3);
    call.Out(id, call.model.SelectedChip().identity.flashId);
    return 1;
  });
}

drav::Handle DRAV_CALL DravDevCreateFlash(drav::Handle device, drav::Handle usb, std::uint16_t flashId) {
  return RunEntry<Entry::DravDevCreateFlash>(Args(device, usb, flashId), [&](EntryCall& call) -> drav::Handle {
    if (!call.model.objects.IsDevice(device)) return call.InvalidDevice(device);
    if (!call.model.objects.IsOpenUsb(usb)) return call.InvalidUsb(usb);
    const auto chip = call.model.ChipIndexWithId(flashId);
    if (!chip) return call.UnknownFlashId(flashId);
    if (!call.model.chips[*chip].identity.supported) {
      return call.Fail("Flash ID " + sim::Hex(flashId, 4) + " is not supported");
    }
    return call.model.objects.CreateFlash(device, *chip);
  });
}

}  // extern "C"
