// The single-shot programmer and flash commands. Each raises the library's
// error when a call fails; none changes the connection state.
#pragma once

#include <cstdint>

#include "device/command_reporter.h"
#include "device/programmer.h"

namespace selvarex::commands {

constexpr int kDevModeAttempts = 50;
constexpr std::uint8_t kDevEnteredStatus = 0x81;
constexpr std::uint8_t kDevExitedStatus = 0x80;

void ResetPld(Programmer& programmer);
void ResetProgrammer(Programmer& programmer);
void SetTimeOut(Programmer& programmer, std::int32_t rx, std::int32_t tx);
void DevEnter(Programmer& programmer, CommandReporter& reporter);
void DevExit(Programmer& programmer, CommandReporter& reporter);
void BlankCheck(Programmer& programmer, CommandReporter& reporter);
void EraseAll(Programmer& programmer, CommandReporter& reporter);
void FlashReset(Programmer& programmer, CommandReporter& reporter);
void GetDeviceSize(Programmer& programmer, CommandReporter& reporter);

}  // namespace selvarex::commands
