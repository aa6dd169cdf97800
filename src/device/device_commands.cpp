#include "device/device_commands.h"

#include <cstdint>
#include <string>

namespace selvarex::commands {

namespace {

// Every command runs only while its entry point is bound; a call through a
// missing one would crash, so a missing entry simply does nothing.
template <typename Entry, typename... Args>
void CallOrRaise(const Programmer& programmer, Entry entry, Args... args) {
  if (entry == nullptr) return;
  if (entry(args...) == 0) programmer.RaiseLastDravolinError();
}

using DevModeEntry = drav::DravUsbDEVEnter_t;  // DEVExit has the same type

void RunDevMode(Programmer& programmer, CommandReporter& reporter, DevModeEntry entry, std::uint8_t expected,
                const char* done, const char* failed) {
  if (entry == nullptr) return;
  for (int attempt = 0; attempt < kDevModeAttempts; ++attempt) {
    std::uint8_t status = 0;
    if (entry(programmer.UsbHandle(), &status) == 0) programmer.RaiseLastDravolinError();
    if (status == expected) return reporter.Show(done);
  }
  reporter.ErrorBeep();
  reporter.Show(failed);
}

// A size the library did not write stays at the largest value, so that an
// unwritten blank result can never read as "blank".
std::uint32_t DeviceSize(Programmer& programmer) {
  std::uint32_t size = UINT32_MAX;
  CallOrRaise(programmer, programmer.Api().DravFlashGetDeviceSize, programmer.FlashHandle(), &size);
  return size;
}

}  // namespace

void ResetPld(Programmer& programmer) {
  CallOrRaise(programmer, programmer.Api().DravUsbResetPLD, programmer.UsbHandle());
}

void ResetProgrammer(Programmer& programmer) {
  CallOrRaise(programmer, programmer.Api().DravUsbReset, programmer.UsbHandle());
}

void SetTimeOut(Programmer& programmer, std::int32_t rx, std::int32_t tx) {
  CallOrRaise(programmer, programmer.Api().DravUsbSetTimeOut, programmer.UsbHandle(), rx, tx);
}

void DevEnter(Programmer& programmer, CommandReporter& reporter) {
  RunDevMode(programmer, reporter, programmer.Api().DravUsbDEVEnter, kDevEnteredStatus, "DevEnter done!",
             "DevEnter failed!");
}

void DevExit(Programmer& programmer, CommandReporter& reporter) {
  RunDevMode(programmer, reporter, programmer.Api().DravUsbDEVExit, kDevExitedStatus, "DevExit done!",
             "DevExit failed!");
}

void BlankCheck(Programmer& programmer, CommandReporter& reporter) {
  const auto blank = programmer.Api().DravFlashBlank;
  if (blank == nullptr || programmer.Api().DravFlashGetDeviceSize == nullptr) return;
  const std::uint32_t size = DeviceSize(programmer);
  std::uint32_t result = 0;
  CallOrRaise(programmer, blank, programmer.FlashHandle(), &result);
  reporter.Show(result < size ? "Device is not Blank!" : "Device is Blank!");
}

void EraseAll(Programmer& programmer, CommandReporter& reporter) {
  const auto eraseAll = programmer.Api().DravFlashEraseAll;
  if (eraseAll == nullptr) return;
  CallOrRaise(programmer, eraseAll, programmer.FlashHandle());
  reporter.Show("Device Erased!");
}

void FlashReset(Programmer& programmer, CommandReporter& reporter) {
  const auto reset = programmer.Api().DravFlashReset;
  if (reset == nullptr) return;
  CallOrRaise(programmer, reset, programmer.FlashHandle());
  reporter.Show("Reset OK!");
}

void GetDeviceSize(Programmer& programmer, CommandReporter& reporter) {
  if (programmer.Api().DravFlashGetDeviceSize == nullptr) return;
  std::uint32_t size = 0;
  CallOrRaise(programmer, programmer.Api().DravFlashGetDeviceSize, programmer.FlashHandle(), &size);
  reporter.Show("Device Size is " + std::to_string(size));
}

}  // namespace selvarex::commands
