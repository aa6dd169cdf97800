#include "transfer/operation_log.h"

#include <cstdio>

#include "device/platform_loader.h"

namespace selvarex {

namespace {

const std::string kRule(72, '-');

std::string TwoDigits(int value) {
  const char digits[] = {static_cast<char>('0' + value / 10 % 10), static_cast<char>('0' + value % 10), '\0'};
  return digits;
}

// MM/DD/YY (HH:MM:SS); the year as (year - 1900) modulo 100, so 2008 gives 08.
std::string Stamp(const LocalTime& t) {
  const int year = ((t.year - 1900) % 100 + 100) % 100;
  return TwoDigits(t.month) + "/" + TwoDigits(t.day) + "/" + TwoDigits(year) + " (" + TwoDigits(t.hour) + ":" +
         TwoDigits(t.minute) + ":" + TwoDigits(t.second) + ")";
}

}  // namespace

std::string OperationLog::DefaultPath() { return std::string(platform::CurrentDirectoryPrefix()) + "DravolinLog.txt"; }

OperationLog::OperationLog(std::string path, const Clock& clock) : path_(std::move(path)), clock_(clock) {}

OperationLog::~OperationLog() { Close(); }

void OperationLog::Open(std::string_view startText) {
  const LocalTime start = clock_.Now();
  Close();
  // Binary, so the line ends are exactly the bytes written below. No path:
  // the log is switched off.
  if (!path_.empty()) file_ = std::fopen(path_.c_str(), "ab");
  Write("\n" + kRule + "\n");
  Write(std::string(startText) + Stamp(start) + "\n");
  Write(kRule + "\n");
}

void OperationLog::Entry(std::string_view text) { Write("\n> " + std::string(text) + "\n"); }

void OperationLog::End(std::string_view summaryText, std::string_view endText) {
  const LocalTime end = clock_.Now();
  Entry(summaryText);
  WriteEndFrame(end, endText);
  Close();
}

void OperationLog::EndWithoutSummary(std::string_view endText) {
  WriteEndFrame(clock_.Now(), endText);
  Close();
}

void OperationLog::WriteEndFrame(const LocalTime& end, std::string_view endText) {
  Write("\n" + kRule + "\n");
  Write(std::string(endText) + Stamp(end) + "\n");
  Write(kRule + "\n");
}

void OperationLog::Write(std::string_view text) {
  if (file_ == nullptr) return;
  std::string bytes;
  bytes.reserve(text.size() + 8);
  for (const char c : text) {
    if (c == '\n') bytes += '\r';
    bytes += c;
  }
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file_) == bytes.size() && std::fflush(file_) == 0;
  if (!written) Close();
}

void OperationLog::Close() {
  if (file_ == nullptr) return;
  std::fclose(file_);
  file_ = nullptr;
}

}  // namespace selvarex
