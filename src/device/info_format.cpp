#include "device/info_format.h"

#include <array>
#include <cstdio>

namespace selvarex {

std::string VersionToStr(std::uint32_t high, std::uint32_t low) {
  return std::to_string(high >> 16) + "." + std::to_string(high & 0xFFFFu) + "." + std::to_string(low >> 16) + "." +
         std::to_string(low & 0xFFFFu);
}

std::string LoaderVersionToStr(std::uint16_t version) {
  return std::to_string(version >> 8) + "." + std::to_string(version & 0xFFu);
}

const std::string& PldIdToProductName(std::uint16_t pldId) {
  // Built once, on first use, and kept for the life of the program.
  static const std::array<std::string, 8> names = {"Q3LIN",      "Veska Hollin", "Veska Sorrel",  "Dravolin 78",
                                                   "Calvex One", "Calvex Two",   "Calvex Serial", "Ombrel"};
  static const std::string unknown = "UNKNOWN";
  return pldId < names.size() ? names[pldId] : unknown;
}

std::string FlashIdToStr(std::uint16_t flashId) {
  char text[8];
  std::snprintf(text, sizeof text, "0x%04X", static_cast<unsigned>(flashId));
  return text;
}

const char* PldStatusToStr(std::uint32_t status) { return status != 0 ? "Empty" : "Programmed"; }

const char* YesNoToStr(bool yes) { return yes ? "Yes" : "No"; }

}  // namespace selvarex
