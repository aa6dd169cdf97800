// How a single-shot command reports its result to the operator.
#pragma once

#include <string>

namespace selvarex {

class CommandReporter {
 public:
  virtual ~CommandReporter() = default;
  // The information box: the text, no icon, one OK button.
  virtual void Show(const std::string& text) = 0;
  // The system's error sound.
  virtual void ErrorBeep() = 0;
};

}  // namespace selvarex
