#include "cli/info_output.h"

#include <nlohmann/json.hpp>

#include "device/panel_texts.h"

namespace selvarex::cli {

namespace {

// The JSON member of each value.
const char* KeyOf(PanelLabel label) {
  switch (label) {
    case PanelLabel::DeviceCount: return "deviceCount";
    case PanelLabel::DLLVersion: return "dllVersion";
    case PanelLabel::DriverVersion: return "driverVersion";
    case PanelLabel::PLDStatus: return "pldStatus";
    case PanelLabel::LoaderVersion: return "loaderVersion";
    case PanelLabel::PldId: return "pldId";
    case PanelLabel::FlashID: return "flashId";
    case PanelLabel::FlashFullName: return "flashFullName";
    case PanelLabel::FlashProdName: return "flashProductName";
    case PanelLabel::FlashSupported: return "flashSupported";
    case PanelLabel::FlashProductorSupported: return "productorSupported";
  }
  return "";
}

}  // namespace

std::string InfoLines(const Session& session, std::uint32_t flash) {
  std::string text;
  for (const PanelText& shown : InfoPanelTexts())
    text += std::string(shown.caption) + " " + session.Label(shown.label) + "\n";
  text += std::string(kFlashSelectorCaption) + ": " + FlashItemName(flash) + "\n";
  for (const PanelText& shown : FlashPanelTexts())
    text += std::string(shown.caption) + " " + session.Label(shown.label) + "\n";
  return text;
}

std::string InfoJson(const Session& session, std::uint32_t flash) {
  nlohmann::ordered_json object;
  for (const PanelText& shown : InfoPanelTexts()) object[KeyOf(shown.label)] = session.Label(shown.label);
  object["selectedFlash"] = flash;
  for (const PanelText& shown : FlashPanelTexts()) object[KeyOf(shown.label)] = session.Label(shown.label);
  // A chip name in bytes that are not UTF-8 must not cost the whole output.
  return object.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
}

}  // namespace selvarex::cli
