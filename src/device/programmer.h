// The programmer connection: the library objects the program holds (USB
// handle, device object, flash object), the information panels and the choice
// of flash chip.
#pragma once

#include <cstdint>

#include "device/connection_view.h"
#include "device/dravolin_library.h"

namespace selvarex {

class Programmer {
 public:
  explicit Programmer(DravolinLibrary& library) : library_(library) {}

  const drav::EntryTable& Api() const { return library_.Api(); }
  // Throws Exception when the library was unloaded meanwhile.
  void RequireLibraryLoaded() const;

  // The objects the library handed out; zero means none.
  drav::Handle UsbHandle() const { return usbHandle_; }
  drav::Handle DeviceHandle() const { return device_; }
  drav::Handle FlashHandle() const { return flash_; }
  // The selected chip's ID as the library read it.
  std::uint16_t FlashId() const { return flashId_; }

  // Library loaded and a programmer open.
  bool IsConnected() const { return library_.IsOpen() && usbHandle_ != 0; }
  // Whether the library supports the selected chip's maker. Asks the library
  // each time. A failing query raises once; until the next connect or flash
  // selection the chip then counts as unusable without asking again, so a
  // library that keeps failing cannot lock the operator out.
  bool IsFlashProdSupported();
  // A flash object of the selected chip that the library handed out to the
  // device object alive now.
  bool HasFlash() const { return flash_ != 0; }

  // Connect: opens the programmer and, only when one was opened, creates the
  // device object.
  void Connect(ConnectionView& view);
  // Disconnect: destroys the device object, then closes the programmer.
  void Disconnect(ConnectionView& view);
  // Closes the programmer (also used when unloading); without DravUsbClose in
  // the library the programmer counts as closed without a call.
  void CloseUsbDevice(ConnectionView& view);
  // The library is gone: every object it handed out is gone with it.
  void ForgetLibraryObjects();
  // The library went away during a command (its host stopped): the
  // connection ends as an unload ends it, with the panels' placeholders.
  void LibraryGone(ConnectionView& view);

  void UpdateInfo(ConnectionView& view);
  // The operator picked flash chip 0 or 1. When the programmer refuses the
  // chip, raises the library error with no chip chosen and none shown.
  void SelectFlash(std::uint32_t index, ConnectionView& view);
  void UpdateFlashInfo(ConnectionView& view);

  [[noreturn]] void RaiseLastDravolinError() const { library_.RaiseLastDravolinError(); }

 private:
  // True when a programmer was opened.
  bool OpenUsbDevice(ConnectionView& view);
  void CreateDevice();
  void DestroyDevice();

  void ShowNoFlash(ConnectionView& view);
  void UpdateDeviceCount(ConnectionView& view);
  void UpdateDLLVersion(ConnectionView& view);
  void UpdateDriverVersion(ConnectionView& view);
  void UpdatePldId(ConnectionView& view);
  void UpdateLoaderVersion(ConnectionView& view);
  void UpdatePLDStatus(ConnectionView& view);

  DravolinLibrary& library_;
  // State read at connect and by the flash selection; zero means none.
  drav::Handle usbHandle_ = 0;
  std::uint32_t pldStatus_ = 0;
  std::uint16_t loaderVersion_ = 0;
  drav::Handle device_ = 0;
  drav::Handle flash_ = 0;
  std::uint16_t flashId_ = 0;
  bool prodSupportQueryFailed_ = false;
};

}  // namespace selvarex
