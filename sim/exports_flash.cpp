// Entry points of flash objects: reading, programming, erasing and checking
// the chip the object was created for.
#include <string>

#include "entry_call.h"
#include "sim_exports.h"

using drav::Entry;
using sim::Args;
using sim::EntryCall;
using sim::kBlockSize;
using sim::NandChip;
using sim::RunEntry;

namespace {

// The chip of a live flash object; null after failing the call.
NandChip* ChipOf(EntryCall& call, drav::Handle flash) {
  const auto chip = call.model.objects.ChipOfFlash(flash);
  if (!chip) {
    call.InvalidFlash(flash);
    return nullptr;
  }
  return &call.model.chips[*chip];
}

bool IsBlockStart(EntryCall& call, const NandChip& chip, std::uint32_t address) {
  if (chip.IsBlockStart(address)) return true;
  call.Fail("Address " + std::to_string(address) + " is not the start of a block of the chip (blocks of " +
            std::to_string(kBlockSize) + " bytes, size " + std::to_string(chip.Size()) + ")");
  return false;
}

std::string BlockFault(const char* what, std::uint32_t block) {
  return std::string(what) + " failed in block " + std::to_string(block);
}

}  // namespace

extern "C" {

drav::BOOL32 DRAV_CALL DravFlashGetDeviceSize(drav::Handle flash, std::uint32_t* size) {
  return RunEntry<Entry::DravFlashGetDeviceSize>(Args(flash, size), [&](EntryCall& call) -> drav::BOOL32 {
    NandChip* chip = ChipOf(call, flash);
    if (chip == nullptr) return 0;
    if (size == nullptr) return call.NullArgument(2);
    call.Out(size, chip->Size());
    return 1;
  });
}

drav::BOOL32 DRAV_CALL DravFlashReset(drav::Handle flash) {
  return RunEntry<Entry::DravFlashReset>(
      Args(flash), [&](EntryCall& call) -> drav::BOOL32 { return ChipOf(call, flash) != nullptr ? 1 : 0; });
}

drav::BOOL32 DRAV_CALL DravFlashSetWVerify(drav::Handle flash, std::uint32_t flag) {
  return RunEntry<Entry::DravFlashSetWVerify>(Args(flash, flag), [&](EntryCall& call) -> drav::BOOL32 {
    NandChip* chip = ChipOf(call, flash);
    if (chip == nullptr) return 0;
    chip->writeVerify = flag != 0;
    return 1;
  });
}

drav::BOOL32 DRAV_CALL DravFlashRead(drav::Handle flash, std::uint32_t address, std::uint8_t* buffer,
                                     std::uint32_t length) {
  return RunEntry<Entry::DravFlashRead>(Args(flash, address, buffer, length), [&](EntryCall& call) -> drav::BOOL32 {
    NandChip* chip = ChipOf(call, flash);
    if (chip == nullptr) return 0;
    if (buffer == nullptr) return call.NullArgument(3);
    if (length == 0) return call.Fail("Read of 0 bytes");
    if (!chip->Contains(address, length)) {
      return call.Fail("Read of " + std::to_string(length) + " bytes at address " + std::to_string(address) +
                       " goes beyond the end of the chip (" + std::to_string(chip->Size()) + " bytes)");
    }
    const std::uint32_t last = static_cast<std::uint32_t>((std::uint64_t{address} + length - 1) / kBlockSize);
    for (std::uint32_t block = address / kBlockSize; block <= last; ++block) {
      if ((chip->Faults(block) & kSimFailRead) != 0) return call.Fail(BlockFault("Read", block));
    }
    call.AddDeviceTime(sim::timing::ReadNs(address, length));
    chip->Read(address, buffer, length);
    return 1;
  });
}

drav::BOOL32 DRAV_CALL DravFlashWrite(drav::Handle flash, std::uint32_t address, const std::uint8_t* buffer,
                                      std::uint32_t length) {
  return RunEntry<Entry::DravFlashWrite>(Args(flash, address, buffer, length), [&](EntryCall& call) -> drav::BOOL32 {
    NandChip* chip = ChipOf(call, flash);
    if (chip == nullptr) return 0;
    if (buffer == nullptr) return call.NullArgument(3);
    if (length != kBlockSize) {
      return call.Fail("Write of " + std::to_string(length) + " bytes: the programmer writes whole blocks of " +
                       std::to_string(kBlockSize) + " bytes");
    }
    if (!IsBlockStart(call, *chip, address)) return 0;
    const std::uint32_t block = address / kBlockSize;
    if ((chip->Faults(block) & kSimFailWrite) != 0) return call.Fail(BlockFault("Program", block));
    call.AddDeviceTime(sim::timing::BlockProgramNs());
    chip->Program(block, buffer);
    if (!chip->writeVerify) return 1;
    call.AddDeviceTime(sim::timing::BlockVerifyNs());
    const std::int64_t mismatch = chip->FirstMismatch(block, buffer);
    // A real chip keeps what it programmed; only the caller learns it is wrong.
    if (mismatch >= 0) {
      return call.Fail("Write verify failed at address " +
                       std::to_string(address + static_cast<std::uint32_t>(mismatch)));
    }
    return 1;
  });
}

drav::BOOL32 DRAV_CALL DravFlashEraseSector(drav::Handle flash, std::uint32_t address) {
  return RunEntry<Entry::DravFlashEraseSector>(Args(flash, address), [&](EntryCall& call) -> drav::BOOL32 {
    NandChip* chip = ChipOf(call, flash);
    if (chip == nullptr) return 0;
    if (!IsBlockStart(call, *chip, address)) return 0;
    const std::uint32_t block = address / kBlockSize;
    if ((chip->Faults(block) & kSimFailErase) != 0) return call.Fail(BlockFault("Erase", block));
    // A factory bad block is erased too, and so loses its marker.
    call.AddDeviceTime(sim::timing::kBlockEraseNs);
    chip->Erase(block);
    return 1;
  });
}

drav::BOOL32 DRAV_CALL DravFlashEraseAll(drav::Handle flash) {
  return RunEntry<Entry::DravFlashEraseAll>(Args(flash), [&](EntryCall& call) -> drav::BOOL32 {
    NandChip* chip = ChipOf(call, flash);
    if (chip == nullptr) return 0;
    // In block order; a block that fails stops the erase, the blocks before stay erased.
    for (std::uint32_t block = 0; block < chip->Blocks(); ++block) {
      if (chip->IsFactoryBad(block)) continue;
      if ((chip->Faults(block) & kSimFailErase) != 0) return call.Fail(BlockFault("Erase", block));
      call.AddDeviceTime(sim::timing::kBlockEraseNs);
      chip->Erase(block);
    }
    return 1;
  });
}

drav::BOOL32 DRAV_CALL DravFlashBlank(drav::Handle flash, std::uint32_t* value) {
  return RunEntry<Entry::DravFlashBlank>(Args(flash, value), [&](EntryCall& call) -> drav::BOOL32 {
    NandChip* chip = ChipOf(call, flash);
    if (chip == nullptr) return 0;
    if (value == nullptr) return call.NullArgument(2);
    const sim::BlankScan scan = chip->ScanBlank();
    call.AddDeviceTime(scan.pagesScanned * sim::timing::kPageReadNs);
    call.Out(value, scan.firstNonBlank);
    return 1;
  });
}

}  // extern "C"
