#include "cli/cli_session.h"

#include "device/panel_texts.h"

namespace selvarex::cli {

Session::Session(const Options& options) : flash_(options.flash) {
  library_.UseLibraryFile(options.library);
  for (const PanelText& text : InfoPanelTexts()) labels_[text.label] = text.initial;
  for (const PanelText& text : FlashPanelTexts()) labels_[text.label] = text.initial;
}

Session::~Session() {
  try {
    Close();
  } catch (const std::exception&) {
    // Already on the way out after another error, which is the one reported.
  }
}

void Session::Open() {
  try {
    library_.Load();
    programmer_.UpdateInfo(*this);
    if (const auto refused = FirstFalseTerm(ActionId::actDravolinConnect, *this)) throw Unavailable(Refusal(*refused));
    programmer_.Connect(*this);
    if (!programmer_.IsConnected())
      throw Unavailable("No programmer has been found (" + std::string(TextOf(PanelLabel::DeviceCount).caption) + " " +
                        Label(PanelLabel::DeviceCount) + ").");
    programmer_.SelectFlash(flash_, *this);
    flashSelected_ = true;
  } catch (const Unavailable&) {
    throw;
  } catch (const std::exception& error) {
    throw Unavailable(error.what());
  }
}

void Session::Require(ActionId command) {
  if (const auto refused = FirstFalseTerm(command, *this)) throw Exception(Refusal(*refused));
}

std::string Session::Refusal(const RuleTerm& term) const {
  // A chip the library supports but gave no flash object for.
  if (term.term == Term::Flash && Label(PanelLabel::FlashSupported) != "No")
    return "The device library has given no flash object for the selected flash chip.";
  return UnavailableText(term);
}

void Session::Close() {
  if (!library_.IsOpen()) return;
  // Disconnect destroys the device object too, which unloading leaves alone.
  if (programmer_.IsConnected()) programmer_.Disconnect(*this);
  library_.Unload();
  programmer_.ForgetLibraryObjects();
}

std::string Session::Label(PanelLabel label) const {
  const auto shown = labels_.find(label);
  return shown == labels_.end() ? std::string() : shown->second;
}

TransferTarget Session::Target() const {
  return TransferTarget{library_, programmer_.FlashHandle(), static_cast<std::int32_t>(flash_)};
}

}  // namespace selvarex::cli
