// A fresh copy of the simulated library, loaded through the program's binding,
// with its control interface, for the contract tests of the library.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "device/dravolin_library.h"
#include "device/nand_geometry.h"
#include "support/sim_harness.h"

namespace selvarex::test {

constexpr std::uint32_t kBlock = nand::kBlockSize;
constexpr std::uint32_t kChipSize = 1024 * kBlock;

class SimTest : public ::testing::Test {
 protected:
  explicit SimTest(const std::string& variant = "default");
  ~SimTest() override;

  const drav::EntryTable& Api() const { return library_.Api(); }
  SimControl& Sim() { return *sim_; }

  // The text DravGetLastError gives in a 512-byte buffer; "<none>" when it
  // returns 0.
  std::string LastError();

  // The programmer open, a device object and a flash object of the chip
  // (selected first).
  struct Objects {
    drav::Handle usb = 0;
    drav::Handle device = 0;
    drav::Handle flash = 0;
  };
  Objects OpenChip(std::uint32_t chip = 0);

  std::vector<std::uint8_t> Read(drav::Handle flash, std::uint32_t address, std::uint32_t length);

 private:
  SimWorkDir dir_;
  DravolinLibrary library_;
  std::unique_ptr<SimControl> sim_;
};

}  // namespace selvarex::test
