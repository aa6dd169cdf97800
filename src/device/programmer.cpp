#include "device/programmer.h"

#include "device/info_format.h"
#include "device/library_text.h"

namespace selvarex {

bool Programmer::IsFlashProdSupported() {
  const auto query = Api().DravDevIsProdSupported;
  // Without a device object (its creation failed) no chip is usable, and the
  // library must never be handed an object it did not give out.
  if (query == nullptr || FDevice == 0 || prodSupportQueryFailed_) return false;
  std::uint32_t flag = 0;
  if (query(FDevice, FFlashID, &flag) == 0) {
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

  FUsbHandle = api.DravUsbOpen();
  if (FUsbHandle == 0) RaiseLastDravolinError();
  prodSupportQueryFailed_ = false;

  // Both results are ignored: a field keeps what it held or what the library wrote.
  if (api.DravUsbGetLoaderVersion != nullptr) api.DravUsbGetLoaderVersion(FUsbHandle, &FLoaderVersion);
  if (api.DravUsbGetPldStatus != nullptr) api.DravUsbGetPldStatus(FUsbHandle, &FPldStatus);

  UpdateInfo(view);
  view.ResetFlashSelector(api.DravUsbSelectFlash != nullptr);
  return true;
}

void Programmer::CreateDevice() {
  const auto create = Api().DravDevCreate;
  if (create == nullptr) return;
  FDevice = create();
  // A flash object belongs to the device object that created it.
  FFlash = 0;
  if (FDevice == 0) RaiseLastDravolinError();
}

void Programmer::Disconnect(ConnectionView& view) {
  DestroyDevice();
  CloseUsbDevice(view);
}

void Programmer::DestroyDevice() {
  const auto destroy = Api().DravDevDestroy;
  // No device object (its creation failed): nothing to destroy, and asking the
  // library to destroy handle 0 would only fail and keep the programmer open.
  if (destroy == nullptr || FDevice == 0) return;
  if (destroy(FDevice) == 0) RaiseLastDravolinError();
  // The flash object died with its device object.
  FDevice = 0;
  FFlash = 0;
}

void Programmer::CloseUsbDevice(ConnectionView& view) {
  const auto close = Api().DravUsbClose;
  if (close != nullptr && close(FUsbHandle) == 0) {
    FUsbHandle = 0;
    RaiseLastDravolinError();
  }
  FUsbHandle = 0;
  view.ResetFlashSelector(false);
  FFlashID = 0;
  UpdateInfo(view);
}

void Programmer::ForgetLibraryObjects() {
  FUsbHandle = 0;
  FDevice = 0;
  FFlash = 0;
  FFlashID = 0;
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

void Programmer::UpdateDeviceCount(ConnectionView& view) {
  const auto deviceCount = Api().DravUsbDeviceCount;
  if (deviceCount == nullptr) return view.ShowLabel(PanelLabel::DeviceCount, "??");
  std::uint32_t count = 0;
  if (deviceCount(&count) == 0) RaiseLastDravolinError();
  view.ShowLabel(PanelLabel::DeviceCount, std::to_string(count));
}

namespace {

template <typename VersionEntry>
void ShowVersion(const Programmer& programmer, VersionEntry entry, PanelLabel label,
                 ConnectionView& view) {
  if (entry == nullptr) return view.ShowLabel(label, "??.??");
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
  if (FUsbHandle == 0 || getPldId == nullptr) return view.ShowLabel(PanelLabel::PldId, "????");
  std::uint16_t pldId = 0;
  if (getPldId(FUsbHandle, &pldId) == 0) RaiseLastDravolinError();
  view.ShowLabel(PanelLabel::PldId, PldIdToProductName(pldId));
}

void Programmer::UpdateLoaderVersion(ConnectionView& view) {
  view.ShowLabel(PanelLabel::LoaderVersion,
                 FUsbHandle == 0 ? "????" : LoaderVersionToStr(FLoaderVersion));
}

void Programmer::UpdatePLDStatus(ConnectionView& view) {
  const char* text = FUsbHandle == 0 ? "????" : (FPldStatus != 0 ? "Empty" : "Programmed");
  view.ShowLabel(PanelLabel::PLDStatus, text);
}

void Programmer::SelectFlash(std::uint32_t index, ConnectionView& view) {
  prodSupportQueryFailed_ = false;
  // The previous chip's flash object must never act on the chip now selected;
  // a supported chip gets a flash object of its own below.
  FFlash = 0;
  const auto select = Api().DravUsbSelectFlash;
  if (select != nullptr && select(FUsbHandle, index) == 0) {
    // The programmer stays on the other chip, which may well be of the same
    // model: nothing may name this chip or act on it until a pick succeeds.
    ShowNoFlash(view);
    view.ResetFlashSelector(true);
    RaiseLastDravolinError();
  }
  UpdateFlashInfo(view);
}

void Programmer::ShowNoFlash(ConnectionView& view) {
  for (PanelLabel label : {PanelLabel::FlashID, PanelLabel::FlashFullName, PanelLabel::FlashProdName,
                           PanelLabel::FlashSupported, PanelLabel::FlashProductorSupported}) {
    view.ShowLabel(label, "??");
  }
}

void Programmer::UpdateFlashInfo(ConnectionView& view) {
  const auto& api = Api();
  if (FDevice == 0 || FUsbHandle == 0 || api.DravDevGetFlashID == nullptr) return ShowNoFlash(view);
  if (api.DravDevGetFlashID(FDevice, FUsbHandle, &FFlashID) == 0) RaiseLastDravolinError();
  view.ShowLabel(PanelLabel::FlashID, FlashIdToStr(FFlashID));

  if (api.DravDevGetFullName != nullptr) {
    char name[drav::kNameBufferSize] = {};
    if (api.DravDevGetFullName(FDevice, FFlashID, name, sizeof name) == 0) RaiseLastDravolinError();
    view.ShowLabel(PanelLabel::FlashFullName, TextFromBuffer(name, sizeof name));
  }
  if (api.DravDevGetProdName != nullptr) {
    char name[drav::kNameBufferSize] = {};
    if (api.DravDevGetProdName(FDevice, FFlashID, name, sizeof name) == 0) RaiseLastDravolinError();
    view.ShowLabel(PanelLabel::FlashProdName, TextFromBuffer(name, sizeof name));
  }
  if (api.DravDevIsSupported != nullptr) {
    std::uint32_t supported = 0;
    if (api.DravDevIsSupported(FDevice, FFlashID, &supported) == 0) RaiseLastDravolinError();
    if (supported != 0 && api.DravDevCreateFlash != nullptr) {
      FFlash = api.DravDevCreateFlash(FDevice, FUsbHandle, FFlashID);
    }
    view.ShowLabel(PanelLabel::FlashSupported, supported != 0 ? "Yes" : "No");
  }
  view.ShowLabel(PanelLabel::FlashProductorSupported, IsFlashProdSupported() ? "Yes" : "No");
}

}  // namespace selvarex
