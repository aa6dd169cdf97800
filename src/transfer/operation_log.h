// The operation log: one section per process run, appended to a text file
// that every run and every program start shares. Its bytes (CR LF line ends,
// the frame, the time stamps) are in docs/formats.md, "The operation log".
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include "transfer/clock.h"

namespace selvarex {

class OperationLog {
 public:
  // "DravolinLog.txt" in the current working directory.
  static std::string DefaultPath();

  // An empty path writes no log at all.
  OperationLog(std::string path, const Clock& clock);
  ~OperationLog();
  OperationLog(const OperationLog&) = delete;
  OperationLog& operator=(const OperationLog&) = delete;

  // Takes the start time stamp, opens the file for appending (creating it)
  // and writes the start frame. A log that cannot be opened is dropped
  // silently: the run goes on without it.
  void Open(std::string_view startText);
  // One entry: an empty line, then "> " and the text.
  void Entry(std::string_view text);
  // Takes the end time stamp, writes the summary entry and the end frame,
  // and closes the file.
  void End(std::string_view summaryText, std::string_view endText);
  // The end frame without a summary (a run the operator stopped).
  void EndWithoutSummary(std::string_view endText);

 private:
  // Writes text with every "\n" stored as CR LF, then flushes, so each line
  // is on disk before the run goes on. A failed write drops the log.
  void Write(std::string_view text);
  void WriteEndFrame(const LocalTime& end, std::string_view endText);
  void Close();

  std::string path_;
  const Clock& clock_;
  std::FILE* file_ = nullptr;
};

struct LogSettings {
  std::string path = OperationLog::DefaultPath();
  const Clock* clock = &SystemClock();
};

}  // namespace selvarex
