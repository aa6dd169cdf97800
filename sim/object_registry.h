// The library's objects: the open programmer handle, device objects and the
// flash objects those create. Handles are never reused, not even after a
// reset, so a stale handle always fails.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>

#include "device/dravolin_api.h"

namespace sim {

class ObjectRegistry {
 public:
  // A new programmer handle; the one open before becomes invalid.
  drav::Handle OpenUsb();
  bool CloseUsb(drav::Handle usb);
  bool IsOpenUsb(drav::Handle usb) const { return usb != 0 && usb == openUsb_; }

  drav::Handle CreateDevice();
  // Also destroys the flash objects the device object created.
  bool DestroyDevice(drav::Handle device);
  bool IsDevice(drav::Handle device) const { return devices_.count(device) != 0; }

  drav::Handle CreateFlash(drav::Handle device, std::uint32_t chip);
  // The chip a live flash object acts on.
  std::optional<std::uint32_t> ChipOfFlash(drav::Handle flash) const;

  std::uint32_t OpenUsbCount() const { return openUsb_ != 0 ? 1 : 0; }
  std::uint32_t DeviceCount() const { return static_cast<std::uint32_t>(devices_.size()); }
  std::uint32_t FlashCount() const { return static_cast<std::uint32_t>(flashes_.size()); }

  // Forgets every object; the numbering goes on.
  void Clear();

 private:
  struct Flash {
    drav::Handle device;
    std::uint32_t chip;
  };
  // Each kind of object has its own high nibble, so a handle of the wrong kind fails too.
  drav::Handle NextHandle(std::uint32_t kind);

  std::uint32_t serial_ = 0;
  drav::Handle openUsb_ = 0;
  std::set<drav::Handle> devices_;
  std::map<drav::Handle, Flash> flashes_;
};

}  // namespace sim
