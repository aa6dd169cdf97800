// The local clock behind the log's time stamps, replaceable in tests.
#pragma once

namespace selvarex {

struct LocalTime {
  int year;   // e.g. 2008
  int month;  // 1..12
  int day;    // 1..31
  int hour;   // 0..23
  int minute;
  int second;
};

class Clock {
 public:
  virtual ~Clock() = default;
  virtual LocalTime Now() const = 0;
};

// The operating system's local time.
const Clock& SystemClock();

}  // namespace selvarex
