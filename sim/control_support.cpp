#include "control_support.h"

#include <cstring>

namespace sim {

std::optional<drav::Entry> EntryByName(const char* name) {
  if (name == nullptr) return std::nullopt;
  for (std::size_t i = 0; i < drav::kEntryCount; ++i) {
    if (std::strcmp(drav::kEntryNames[i], name) == 0) return static_cast<drav::Entry>(i);
  }
  return std::nullopt;
}

NandChip* ChipAt(SimModel& model, std::uint32_t chip) { return chip < kChipCount ? &model.chips[chip] : nullptr; }

}  // namespace sim
