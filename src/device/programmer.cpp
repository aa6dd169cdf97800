#include "device/programmer.h"

#include "device/info_format.h"
#include "device/library_text.h"
#include "device/panel_texts.h"
#include "device/still_loaded.h"

namespace selvarex {

void Programmer::RequireLibraryLoaded() const { RequireStillLoaded(library_); }

bool Programmer::IsFlashProdSupported() {
  const auto query = Api().DravDevIsProdSupported;
  // Without a device object (its creation failed) no chip is usable, and the
  // library must never be handed an object it did not give out.
  if (query == nullptr || device_ == 0 || prodSupportQueryFailed_) return false;
  std::uint32_t flag = 0;
  if (query(device_, flashId_, &flag) == 0) {
    prodSupportQueryFailed_ = true;
    RaiseLastDravolinError();
  }
  return flag != 0;
}

void Programmer::Connect(ConnectionView& view) {
  // Without an open programmer a device object would only be leaked in the
  // library.
  if (OpenUsbDevice(view)) CreateDevice();
}

bool Programmer::OpenUsbDevice(ConnectionView& view) {
  const auto& api = Api();
  if (api.DravUsbDeviceCount == nullptr || api.DravUsbOpen == nullptr) return false;
  std::uint32_t count = 0;
  if (api.DravUsbDeviceCount(&count) == 0) RaiseLastDravolinError();
  if (count == 0) return false;

  usbHandle_ = api.DravUsbOpen();
  if (usbHandle_ == 0) RaiseLastDravolinError();
  prodSupportQueryFailed_ = false;

  // Both results are ignored: a field keeps what it held or what the library wrote.
  if (api.DravUsbGetLoaderVersion != nullptr) api.DravUsbGetLoaderVersion(usbHandle_, &loaderVersion_);
  if (api.DravUsbGetPldStatus != nullptr) api.DravUsbGetPldStatus(usbHandle_, &pldStatus_);

  UpdateInfo(view);
  view.ResetFlashSelector(api.DravUsbSelectFlash != nullptr);
  return true;
}

void Programmer::CreateDevice() {
  const auto create = Api().DravDevCreate;
  if (create == nullptr) return;
  device_ = create();
  // A flash object belongs to the device object that created it.
  flash_ = 0;
  if (device_ == 0) RaiseLastDravolinError();
}

void Programmer::Disconnect(ConnectionView& view) {
  DestroyDevice();
  CloseUsbDevice(view);
}

void Programmer::DestroyDevice() {
  const auto destroy = Api().DravDevDestroy;
  // No device object (its creation failed): nothing to destroy, and asking the
  // library to destroy handle 0 would only fail and keep the programmer open.
  if (destroy == nullptr || device_ == 0) return;
  if (destroy(device_) == 0) RaiseLastDravolinError();
  // The flash object died with its device object.
  device_ = 0;
  flash_ = 0;
}

void Programmer::CloseUsbDevice(ConnectionView& view) {
  const auto close = Api().DravUsbClose;
  if (close != nullptr && close(usbHandle_) == 0) {
    usbHandle_ = 0;
    RaiseLastDravolinError();
  }
  usbHandle_ = 0;
  view.ResetFlashSelector(false);
  flashId_ = 0;
  UpdateInfo(view);
}

void Programmer::ForgetLibraryObjects() {
  usbHandle_ = 0;
  device_ = 0;
  flash_ = 0;
  flashId_ = 0;
  prodSupportQueryFailed_ = false;
}

void Programmer::LibraryGone(ConnectionView& view) {
  ForgetLibraryObjects();
  view.ResetFlashSelector(false);
  UpdateInfo(view);
}

void Programmer::UpdateInfo(ConnectionView& view) {
  // In this order; a failing rule leaves the labels after it as they were.
  UpdateDeviceCount(view);
  UpdateDLLVersion(view);
  UpdateDriverVersion(view);
  UpdatePldId(view);
  UpdateLoaderVersion(view);
  UpdatePLDStatus(view);
}

namespace {

// What the label shows while there is nothing to show.
void ShowPlaceholder(ConnectionView& view, PanelLabel label) { view.ShowLabel(label, TextOf(label).initial); }

}  // namespace

void Programmer::UpdateDeviceCount(ConnectionView& view) {
  const auto deviceCount = Api().DravUsbDeviceCount;
  if (deviceCount == nullptr) return ShowPlaceholder(view, PanelLabel::DeviceCount);
  std::uint32_t count = 0;
  if (deviceCount(&count) == 0) RaiseLastDravolinError();
  view.ShowLabel(PanelLabel::DeviceCount, std::to_string(count));
}

namespace {

template <typename VersionEntry>
void ShowVersion(const Programmer& programmer, VersionEntry entry, PanelLabel label, ConnectionView& view) {
  if (entry == nullptr) return ShowPlaceholder(view, label);
  std::uint32_t high = 0;
  std::uint32_t low = 0;
  if (entry(&high, &low) == 0) programmer.RaiseLastDravolinError();
  view.ShowLabel(label, VersionToStr(high, low));
}

}  // namespace

void Programmer::UpdateDLLVersion(ConnectionView& view) {
  ShowVersion(*this, Api().DravUsbGetDLLVersion, PanelLabel::DLLVersion, view);
}

void Programmer::UpdateDriverVersion(ConnectionView& view) {
  ShowVersion(*this, Api().DravUsbGetDriverVersion, PanelLabel::DriverVersion, view);
}

void Programmer::UpdatePldId(ConnectionView& view) {
  const auto getPldId = Api().DravUsbGetPLDID;
  if (usbHandle_ == 0 || getPldId == nullptr) return ShowPlaceholder(view, PanelLabel::PldId);
  std::uint16_t pldId = 0;
  if (getPldId(usbHandle_, &pldId) == 0) RaiseLastDravolinError();
  view.ShowLabel(PanelLabel::PldId, PldIdToProductName(pldId));
}

void Programmer::UpdateLoaderVersion(ConnectionView& view) {
  if (usbHandle_ == 0) return ShowPlaceholder(view, PanelLabel::LoaderVersion);
  view.ShowLabel(PanelLabel::LoaderVersion, LoaderVersionToStr(loaderVersion_));
}

void Programmer::UpdatePLDStatus(ConnectionView& view) {
  if (usbHandle_ == 0) return ShowPlaceholder(view, PanelLabel::PLDStatus);
  view.ShowLabel(PanelLabel::PLDStatus, PldStatusToStr(pldStatus_));
}

void Programmer::SelectFlash(std::uint32_t index, ConnectionView& view) {
  prodSupportQueryFailed_ = false;
  // The previous chip's flash object must never act on the chip now selected;
  // a supported chip gets a flash object of its own below.
  flash_ = 0;
  const auto select = Api().DravUsbSelectFlash;
  if (select != nullptr && select(usbHandle_, index) == 0) {
    // The programmer stays on the other chip, which may well be of the same
    // model: nothing may name this chip or act on it until a pick succeeds.
    ShowNoFlash(view);
    view.ResetFlashSelector(true);
    RaiseLastDravolinError();
  }
  UpdateFlashInfo(view);
}

void Programmer::ShowNoFlash(ConnectionView& view) {
  for (const PanelText& text : FlashPanelTexts()) view.ShowLabel(text.label, text.initial);
}

void Programmer::UpdateFlashInfo(ConnectionView& view) {
  const auto& api = Api();
  if (device_ == 0 || usbHandle_ == 0 || api.DravDevGetFlashID == nullptr) return ShowNoFlash(view);
  if (api.DravDevGetFlashID(device_, usbHandle_, &flashId_) == 0) RaiseLastDravolinError();
  view.ShowLabel(PanelLabel::FlashID, FlashIdToStr(flashId_));

  if (api.DravDevGetFullName != nullptr) {
    char name[drav::kNameBufferSize] = {};
    if (api.DravDevGetFullName(device_, flashId_, name, sizeof name) == 0) RaiseLastDravolinError();
    view.ShowLabel(PanelLabel::FlashFullName, TextFromBuffer(name, sizeof name));
  }
  if (api.DravDevGetProdName != nullptr) {
    char name[drav::kNameBufferSize] = {};
    if (api.DravDevGetProdName(device_, flashId_, name, sizeof name) == 0) RaiseLastDravolinError();
    view.ShowLabel(PanelLabel::FlashProdName, TextFromBuffer(name, sizeof name));
  }
  if (api.DravDevIsSupported != nullptr) {
    std::uint32_t supported = 0;
    if (api.DravDevIsSupported(device_, flashId_, &supported) == 0) RaiseLastDravolinError();
    if (supported != 0 && api.DravDevCreateFlash != nullptr) {
      flash_ = api.DravDevCreateFlash(device_, usbHandle_, flashId_);
    }
    view.ShowLabel(PanelLabel::FlashSupported, YesNoToStr(supported != 0));
  }
  view.ShowLabel(PanelLabel::FlashProductorSupported, YesNoToStr(IsFlashProdSupported()));
}

}  // namespace selvarex
