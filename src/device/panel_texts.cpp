#include "device/panel_texts.h"

namespace selvarex {

const std::array<PanelText, 6>& InfoPanelTexts() {
  static const std::array<PanelText, 6> texts = {{
      {PanelLabel::DeviceCount, "Device Count:", "??"},
      {PanelLabel::DLLVersion, "DLL Version:", "??.??"},
      {PanelLabel::DriverVersion, "Driver Version:", "??.??"},
      {PanelLabel::PLDStatus, "PLD status:", "????"},
      {PanelLabel::LoaderVersion, "Loader Version:", "????"},
      {PanelLabel::PldId, "PLD ID:", "????"},
  }};
  return texts;
}

const std::array<PanelText, 5>& FlashPanelTexts() {
  static const std::array<PanelText, 5> texts = {{
      {PanelLabel::FlashID, "Flash ID:", "??"},
      {PanelLabel::FlashFullName, "Flash full name:", "??"},
      {PanelLabel::FlashProdName, "Flash product name:", "??"},
      {PanelLabel::FlashSupported, "Flash supported:", "??"},
      {PanelLabel::FlashProductorSupported, "Productor supported:", "??"},
  }};
  return texts;
}

const PanelText& TextOf(PanelLabel label) {
  for (const PanelText& text : InfoPanelTexts())
    if (text.label == label) return text;
  for (const PanelText& text : FlashPanelTexts())
    if (text.label == label) return text;
  return InfoPanelTexts()[0];  // every label is in one of the panels
}

std::string FlashItemName(std::uint32_t index) { return "Flash " + std::to_string(index); }

}  // namespace selvarex
