#include "programmer_state.h"

namespace sim {

void ProgrammerState::ScriptDevStatus(bool exitMode, const std::uint8_t* statuses, std::uint32_t count) {
  std::deque<std::uint8_t>& script = exitMode ? exitScript_ : enterScript_;
  script.clear();
  if (statuses != nullptr) script.assign(statuses, statuses + count);
}

std::uint8_t ProgrammerState::NextDevStatus(bool exitMode) {
  std::deque<std::uint8_t>& script = exitMode ? exitScript_ : enterScript_;
  if (script.empty()) return exitMode ? kDevExited : kDevEntered;
  const std::uint8_t status = script.front();
  script.pop_front();
  return status;
}

}  // namespace sim
