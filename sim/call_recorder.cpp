#include "call_recorder.h"

#include <algorithm>

namespace sim {

void CallRecorder::Record(drav::Entry entry, const std::uint32_t* args, std::size_t count) {
  const std::size_t i = Index(entry);
  ++counts_[i];
  ++total_;
  log_.push_back(static_cast<std::uint8_t>(i));
  if (log_.size() > kLogCapacity) log_.pop_front();
  LastCall& last = last_[i];
  last.called = true;
  last.count = static_cast<std::uint32_t>(std::min(count, kMaxArgs));
  std::copy_n(args, last.count, last.args.begin());
}

std::string CallRecorder::Log() const {
  std::string text;
  for (std::uint8_t i : log_) {
    if (!text.empty()) text += ',';
    text += drav::kEntryNames[i];
  }
  return text;
}

std::int32_t CallRecorder::LastArgs(drav::Entry entry, std::uint32_t* out, std::uint32_t capacity) const {
  const LastCall& last = last_[Index(entry)];
  if (!last.called) return -1;
  if (out != nullptr) std::copy_n(last.args.begin(), std::min(capacity, last.count), out);
  return static_cast<std::int32_t>(last.count);
}

void CallRecorder::Clear() {
  counts_ = {};
  total_ = 0;
  log_.clear();
  last_ = {};
}

}  // namespace sim
