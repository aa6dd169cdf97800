#include "log_shape.h"

#include <cctype>
#include <fstream>
#include <iterator>

namespace selvarex::test {

namespace {

const std::string kRule(72, '-');

// "MM/DD/YY (HH:MM:SS)"
bool IsStamp(const std::string& s) {
  const std::string shape = "00/00/00 (00:00:00)";
  if (s.size() != shape.size()) return false;
  for (std::size_t i = 0; i < s.size(); ++i) {
    const bool digit = std::isdigit(static_cast<unsigned char>(s[i])) != 0;
    if (shape[i] == '0' ? !digit : s[i] != shape[i]) return false;
  }
  return true;
}

// "<word> <process> PROCESS: <stamp>"; the process name, or "" when the line
// has another shape.
std::string FrameProcess(const std::string& line, const std::string& word) {
  const std::string prefix = word + " ";
  const std::string marker = " PROCESS: ";
  const std::size_t at = line.find(marker);
  if (line.rfind(prefix, 0) != 0 || at == std::string::npos || at <= prefix.size()) return "";
  if (!IsStamp(line.substr(at + marker.size()))) return "";
  return line.substr(prefix.size(), at - prefix.size());
}

}  // namespace

bool LogSection::HasSummary() const {
  return ended && !entries.empty() && entries.back().size() > 6 && entries.back().rfind("Flash", 0) == 0 &&
         std::isdigit(static_cast<unsigned char>(entries.back()[5])) != 0;
}

LogShape ParseLog(const std::string& bytes) {
  LogShape shape;
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < bytes.size()) {
    const std::size_t end = bytes.find("\r\n", start);
    if (end == std::string::npos) {
      shape.error = "partial line at byte " + std::to_string(start);
      return shape;
    }
    lines.push_back(bytes.substr(start, end - start));
    if (lines.back().find_first_of("\r\n") != std::string::npos) {
      shape.error = "stray CR or LF in line " + std::to_string(lines.size());
      return shape;
    }
    start = end + 2;
  }

  std::size_t i = 0;
  const auto fail = [&](const std::string& what) {
    shape.error = what + " at line " + std::to_string(i + 1);
    return shape;
  };
  const auto at = [&](std::size_t k) -> const std::string* { return k < lines.size() ? &lines[k] : nullptr; };
  while (i < lines.size()) {
    // Start frame.
    if (!(*at(i)).empty() || at(i + 1) == nullptr || *at(i + 1) != kRule || at(i + 3) == nullptr || *at(i + 3) != kRule)
      return fail("no start frame");
    LogSection section;
    section.process = FrameProcess(*at(i + 2), "START");
    if (section.process.empty()) return fail("bad start line");
    i += 4;
    // Entries, then the end frame, the next section or the end of the file.
    while (i < lines.size()) {
      if (!lines[i].empty()) return fail("no empty line before an entry or frame");
      const std::string* next = at(i + 1);
      if (next == nullptr) return fail("empty line at the end");
      if (next->rfind("> ", 0) == 0) {
        section.entries.push_back(next->substr(2));
        i += 2;
        continue;
      }
      if (*next != kRule || at(i + 2) == nullptr) return fail("neither entry nor frame");
      if (at(i + 2)->rfind("START ", 0) == 0) break;  // the next section: this one was cut short
      if (FrameProcess(*at(i + 2), "END") != section.process || at(i + 3) == nullptr || *at(i + 3) != kRule)
        return fail("bad end frame");
      section.ended = true;
      i += 4;
      break;
    }
    shape.sections.push_back(std::move(section));
  }
  return shape;
}

LogShape ParseLogFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return ParseLog(std::string(std::istreambuf_iterator<char>(in), {}));
}

}  // namespace selvarex::test
