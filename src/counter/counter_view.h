// What the PostBus counter needs of the window: its four labels and one pass
// of the message loop.
#pragma once

#include <string>

namespace selvarex {

class CounterView {
 public:
  virtual ~CounterView() = default;
  virtual void ShowCounterStatus(const std::string& status) = 0;
  // Lets the window draw the status before the poll loop holds the thread.
  virtual void ProcessMessagesOnce() = 0;
  virtual void ShowCounterResult(const std::string& ticks, const std::string& time, const std::string& value) = 0;
};

}  // namespace selvarex
