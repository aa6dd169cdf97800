// Everything the simulated library knows, behind one lock: the chips, the
// programmer, the live objects, the recordings and the test settings.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "call_recorder.h"
#include "counter_model.h"
#include "device_clock.h"
#include "failure_injector.h"
#include "model_lock.h"
#include "nand_chip.h"
#include "object_registry.h"
#include "programmer_state.h"

namespace sim {

struct SimModel {
  SimModel();
  // Factory state; only the numbering of handles goes on.
  void Reset();

  // The chip with that ID, the selected one first when two share an ID; null
  // when none has it.
  NandChip* ChipWithId(std::uint32_t flashId);
  std::optional<std::uint32_t> ChipIndexWithId(std::uint32_t flashId) const;
  NandChip& SelectedChip() { return chips[programmer.selectedChip]; }

  ModelLock mutex;
  std::array<NandChip, kChipCount> chips;
  ProgrammerState programmer;
  ObjectRegistry objects;
  CounterModel counter;
  CallRecorder recorder;
  FailureInjector failures;
  DeviceClock clock;
  std::uint32_t misbehaviour = 0;  // kSim* flags of sim_control.h
  std::optional<std::string> lastError;
};

// The one model of this copy of the library.
SimModel& Model();

}  // namespace sim
