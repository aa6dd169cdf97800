// What the programmer itself reports and remembers: versions, PLD, the chip
// selected and the statuses of its DEV mode switches.
#pragma once

#include <cstdint>
#include <deque>

namespace sim {

class ProgrammerState {
 public:
  static constexpr std::uint8_t kDevEntered = 0x81;
  static constexpr std::uint8_t kDevExited = 0x80;

  std::uint32_t deviceCount = 1;
  std::uint32_t dllHigh = 0x00010002;  // 1.2.3.4
  std::uint32_t dllLow = 0x00030004;
  std::uint32_t driverHigh = 0x00050006;  // 5.6.7.8
  std::uint32_t driverLow = 0x00070008;
  std::uint16_t loaderVersion = 0x0102;
  std::uint32_t pldStatus = 0;
  std::uint16_t pldId = 3;
  std::uint32_t selectedChip = 0;
  std::int32_t rxTimeOut = 0;
  std::int32_t txTimeOut = 0;

  // Statuses the next DEVEnter (exitMode false) or DEVExit (true) calls return.
  void ScriptDevStatus(bool exitMode, const std::uint8_t* statuses, std::uint32_t count);
  // The status of one DEVEnter or DEVExit call.
  std::uint8_t NextDevStatus(bool exitMode);

 private:
  std::deque<std::uint8_t> enterScript_;
  std::deque<std::uint8_t> exitScript_;
};

}  // namespace sim
