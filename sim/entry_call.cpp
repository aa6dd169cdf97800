#include "entry_call.h"

#include "text_output.h"

namespace sim {

Failed EntryCall::NullArgument(int position) {
  return Fail("Null pointer argument (argument " + std::to_string(position) + ")");
}

Failed EntryCall::InvalidUsb(drav::Handle usb) { return Fail("Invalid USB handle " + Hex(usb, 8)); }

Failed EntryCall::InvalidDevice(drav::Handle device) { return Fail("Invalid device object " + Hex(device, 8)); }

Failed EntryCall::InvalidFlash(drav::Handle flash) { return Fail("Invalid flash object " + Hex(flash, 8)); }

Failed EntryCall::UnknownFlashId(std::uint32_t flashId) { return Fail("Unknown flash ID " + Hex(flashId, 4)); }

}  // namespace sim
