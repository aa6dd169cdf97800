// Control functions about the programmer, its chips and the live objects.
#include <vector>

#include "control_support.h"
#include "sim_exports.h"

using sim::ChipAt;
using sim::Model;
using sim::NandChip;
using sim::SimModel;

namespace {

// A block of a chip, for the per-block control functions; null outside.
NandChip* ChipWithBlock(SimModel& m, std::uint32_t chip, std::uint32_t block) {
  NandChip* c = ChipAt(m, chip);
  return c != nullptr && block < c->Blocks() ? c : nullptr;
}

NandChip* ChipWithRange(SimModel& m, std::uint32_t chip, std::uint32_t address, const void* data,
                        std::uint32_t length) {
  NandChip* c = ChipAt(m, chip);
  if (c == nullptr || !c->Contains(address, length)) return nullptr;
  if (data == nullptr && length > 0) return nullptr;
  return c;
}

}  // namespace

extern "C" {

std::int32_t DRAV_CALL SimCtl_FailBlock(std::uint32_t chip, std::uint32_t block, std::uint32_t flags) {
  SimModel& m = Model();
  sim::LockGuard lock(m.mutex);
  NandChip* c = ChipWithBlock(m, chip, block);
  if (c == nullptr) return -1;
  c->SetFaults(block, flags);
  return 0;
}

void DRAV_CALL SimCtl_SetDeviceCount(std::uint32_t count) {
  SimModel& m = Model();
  sim::LockGuard lock(m.mutex);
  m.programmer.deviceCount = count;
}

void DRAV_CALL SimCtl_SetVersions(std::uint32_t dllHigh, std::uint32_t dllLow, std::uint32_t driverHigh,
                                  std::uint32_t driverLow, std::uint16_t loader) {
  SimModel& m = Model();
  sim::LockGuard lock(m.mutex);
  m.programmer.dllHigh = dllHigh;
  m.programmer.dllLow = dllLow;
  m.programmer.driverHigh = driverHigh;
  m.programmer.driverLow = driverLow;
  m.programmer.loaderVersion = loader;
}

void DRAV_CALL SimCtl_SetPld(std::uint16_t pldId, std::uint32_t pldStatus) {
  SimModel& m = Model();
  sim::LockGuard lock(m.mutex);
  m.programmer.pldId = pldId;
  m.programmer.pldStatus = pldStatus;
}

void DRAV_CALL SimCtl_ScriptDevStatus(std::int32_t exitMode, const std::uint8_t* statuses, std::uint32_t count) {
  SimModel& m = Model();
  sim::LockGuard lock(m.mutex);
  m.programmer.ScriptDevStatus(exitMode != 0, statuses, count);
}

void DRAV_CALL SimCtl_ScriptCounter(const SimCounterPoll* polls, std::uint32_t count) {
  SimModel& m = Model();
  sim::LockGuard lock(m.mutex);
  std::vector<SimCounterPoll> script;
  if (polls != nullptr) script.assign(polls, polls + count);
  m.counter.Script(std::move(script));
}

std::int32_t DRAV_CALL SimCtl_SetChip(std::uint32_t chip, std::uint16_t flashId, const char* fullName,
                                      const char* prodName, std::int32_t supported, std::int32_t prodSupported) {
  SimModel& m = Model();
  sim::LockGuard lock(m.mutex);
  NandChip* c = ChipAt(m, chip);
  if (c == nullptr) return -1;
  c->identity.flashId = flashId;
  if (fullName != nullptr) c->identity.fullName = fullName;
  if (prodName != nullptr) c->identity.prodName = prodName;
  c->identity.supported = supported != 0;
  c->identity.prodSupported = prodSupported != 0;
  return 0;
}

std::int32_t DRAV_CALL SimCtl_SetBlockCount(std::uint32_t chip, std::uint32_t blocks) {
  SimModel& m = Model();
  sim::LockGuard lock(m.mutex);
  NandChip* c = ChipAt(m, chip);
  if (c == nullptr || blocks < 1 || blocks > sim::kMaxBlocks) return -1;
  c->Rebuild(blocks);
  return 0;
}

std::int32_t DRAV_CALL SimCtl_SetMarker(std::uint32_t chip, std::uint32_t block, std::uint8_t marker) {
  SimModel& m = Model();
  sim::LockGuard lock(m.mutex);
  NandChip* c = ChipWithBlock(m, chip, block);
  if (c == nullptr) return -1;
  c->SetMarker(block, marker);
  return 0;
}

std::int32_t DRAV_CALL SimCtl_WriteRaw(std::uint32_t chip, std::uint32_t address, const std::uint8_t* data,
                                       std::uint32_t length) {
  SimModel& m = Model();
  sim::LockGuard lock(m.mutex);
  NandChip* c = ChipWithRange(m, chip, address, data, length);
  if (c == nullptr) return -1;
  c->WriteRaw(address, data, length);
  return 0;
}

std::int32_t DRAV_CALL SimCtl_ReadRaw(std::uint32_t chip, std::uint32_t address, std::uint8_t* data,
                                      std::uint32_t length) {
  SimModel& m = Model();
  sim::LockGuard lock(m.mutex);
  NandChip* c = ChipWithRange(m, chip, address, data, length);
  if (c == nullptr) return -1;
  c->Read(address, data, length);
  return 0;
}

std::int32_t DRAV_CALL SimCtl_IsFactoryBad(std::uint32_t chip, std::uint32_t block) {
  SimModel& m = Model();
  sim::LockGuard lock(m.mutex);
  NandChip* c = ChipWithBlock(m, chip, block);
  if (c == nullptr) return -1;
  return c->IsFactoryBad(block) ? 1 : 0;
}

std::uint32_t DRAV_CALL SimCtl_AllocatedBlocks(std::uint32_t chip) {
  SimModel& m = Model();
  sim::LockGuard lock(m.mutex);
  NandChip* c = ChipAt(m, chip);
  return c != nullptr ? c->ChangedBlocks() : 0;
}

std::int32_t DRAV_CALL SimCtl_WriteVerify(std::uint32_t chip) {
  SimModel& m = Model();
  sim::LockGuard lock(m.mutex);
  NandChip* c = ChipAt(m, chip);
  if (c == nullptr) return -1;
  return c->writeVerify ? 1 : 0;
}

void DRAV_CALL SimCtl_LiveObjects(std::uint32_t* usbHandles, std::uint32_t* devices, std::uint32_t* flashes) {
  SimModel& m = Model();
  sim::LockGuard lock(m.mutex);
  if (usbHandles != nullptr) *usbHandles = m.objects.OpenUsbCount();
  if (devices != nullptr) *devices = m.objects.DeviceCount();
  if (flashes != nullptr) *flashes = m.objects.FlashCount();
}

}  // extern "C"
