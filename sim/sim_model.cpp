#include "sim_model.h"

#include "factory_chips.h"

namespace sim {

SimModel::SimModel() : chips{FactoryChip(0), FactoryChip(1)} { clock.realistic = RealisticTimingFromEnvironment(); }

void SimModel::Reset() {
  chips = {FactoryChip(0), FactoryChip(1)};
  programmer = ProgrammerState{};
  objects.Clear();
  counter = CounterModel{};
  recorder.Clear();
  failures.Clear();
  clock.ResetTotal();
  clock.realistic = RealisticTimingFromEnvironment();
  misbehaviour = 0;
  lastError.reset();
}

std::optional<std::uint32_t> SimModel::ChipIndexWithId(std::uint32_t flashId) const {
  const std::uint32_t selected = programmer.selectedChip;
  if (chips[selected].identity.flashId == flashId) return selected;
  for (std::uint32_t i = 0; i < kChipCount; ++i) {
    if (chips[i].identity.flashId == flashId) return i;
  }
  return std::nullopt;
}

NandChip* SimModel::ChipWithId(std::uint32_t flashId) {
  const auto index = ChipIndexWithId(flashId);
  return index ? &chips[*index] : nullptr;
}

SimModel& Model() {
  static SimModel model;
  return model;
}

}  // namespace sim
