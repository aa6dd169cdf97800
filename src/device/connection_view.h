// What the connection logic needs of the window: its information labels and
// the flash selector.
#pragma once

#include <string>

namespace selvarex {

enum class PanelLabel {
  DeviceCount,
  DLLVersion,
  DriverVersion,
  PldId,
  LoaderVersion,
  PLDStatus,
  FlashID,
  FlashFullName,
  FlashProdName,
  FlashSupported,
  FlashProductorSupported,
};

class ConnectionView {
 public:
  virtual ~ConnectionView() = default;
  virtual void ShowLabel(PanelLabel label, const std::string& text) = 0;
  // Enables or disables the flash selector and clears its selection without
  // reporting a selection.
  virtual void ResetFlashSelector(bool enabled) = 0;
};

}  // namespace selvarex
