#include "object_registry.h"

namespace sim {

namespace {
constexpr std::uint32_t kUsbKind = 0x1;
constexpr std::uint32_t kDeviceKind = 0x2;
constexpr std::uint32_t kFlashKind = 0x3;
constexpr std::uint32_t kSerialMask = 0x0FFFFFFF;
}  // namespace

drav::Handle ObjectRegistry::NextHandle(std::uint32_t kind) {
  serial_ = (serial_ % kSerialMask) + 1;  // 1 .. kSerialMask, never 0
  return (kind << 28) | serial_;
}

drav::Handle ObjectRegistry::OpenUsb() {
  openUsb_ = NextHandle(kUsbKind);
  return openUsb_;
}

bool ObjectRegistry::CloseUsb(drav::Handle usb) {
  if (!IsOpenUsb(usb)) return false;
  openUsb_ = 0;
  return true;
}

drav::Handle ObjectRegistry::CreateDevice() {
  const drav::Handle device = NextHandle(kDeviceKind);
  devices_.insert(device);
  return device;
}

bool ObjectRegistry::DestroyDevice(drav::Handle device) {
  if (devices_.erase(device) == 0) return false;
  std::erase_if(flashes_, [device](const auto& entry) { return entry.second.device == device; });
  return true;
}

drav::Handle ObjectRegistry::CreateFlash(drav::Handle device, std::uint32_t chip) {
  const drav::Handle flash = NextHandle(kFlashKind);
  flashes_[flash] = Flash{device, chip};
  return flash;
}

std::optional<std::uint32_t> ObjectRegistry::ChipOfFlash(drav::Handle flash) const {
  const auto it = flashes_.find(flash);
  if (it == flashes_.end()) return std::nullopt;
  return it->second.chip;
}

void ObjectRegistry::Clear() {
  openUsb_ = 0;
  devices_.clear();
  flashes_.clear();
}

}  // namespace sim
