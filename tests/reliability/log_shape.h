// Reads the operation log back into its sections and checks their frame: the
// whole file is CR LF lines, every section opens with an empty line, a rule,
// its start line and a rule, entries follow as an empty line and "> text",
// and a finished section closes with an empty line, a rule, the end line and
// a rule. A section that an error cut short simply stops after a line.
#pragma once

#include <string>
#include <vector>

namespace selvarex::test {

struct LogSection {
  std::string process;               // "DUMP READING", "DUMP WRITING", "ERASE SECTORS"
  std::vector<std::string> entries;  // without the "> " prefix
  bool ended = false;                // the end frame is there

  // The summary entry ("Flash0 ...") when the section ended with one.
  bool HasSummary() const;
};

struct LogShape {
  std::vector<LogSection> sections;
  std::string error;  // empty when the whole file is well formed
};

LogShape ParseLog(const std::string& bytes);
// The file's content, "" when it does not exist.
LogShape ParseLogFile(const std::string& path);

}  // namespace selvarex::test
