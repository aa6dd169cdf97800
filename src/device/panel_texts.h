// The captions of the information and flash panels and of their values, and
// what a value shows before there is anything to show. The window lays them
// out; the command line prints them the same way.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "device/connection_view.h"

namespace selvarex {

struct PanelText {
  PanelLabel label;
  const char* caption;  // "Device Count:"
  const char* initial;  // "??"
};

constexpr const char* kInfoPanelCaption = "Info";
constexpr const char* kFlashPanelCaption = "Flash info";
constexpr const char* kFlashSelectorCaption = "Selected flash";

// Top to bottom, as each panel shows them.
const std::array<PanelText, 6>& InfoPanelTexts();
const std::array<PanelText, 5>& FlashPanelTexts();
const PanelText& TextOf(PanelLabel label);

// The flash selector's items: "Flash 0", "Flash 1".
std::string FlashItemName(std::uint32_t index);

}  // namespace selvarex
