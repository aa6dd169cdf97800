#include "failure_injector.h"

#include <limits>

namespace sim {

void FailureInjector::Add(drav::Entry entry, std::uint32_t nth, std::uint32_t count, std::string text) {
  const std::size_t i = static_cast<std::size_t>(entry);
  const std::uint64_t first = calls_[i] + (nth == 0 ? 1 : nth);
  const std::uint64_t last = count == 0 ? std::numeric_limits<std::uint64_t>::max() : first + count - 1;
  rules_[i].push_back(Rule{first, last, std::move(text)});
}

std::optional<std::string> FailureInjector::Next(drav::Entry entry) {
  const std::size_t i = static_cast<std::size_t>(entry);
  const std::uint64_t call = ++calls_[i];
  std::optional<std::string> text;
  // The rule ordered last wins where rules overlap.
  for (const Rule& rule : rules_[i]) {
    if (rule.first <= call && call <= rule.last) text = rule.text;
  }
  std::erase_if(rules_[i], [call](const Rule& rule) { return rule.last <= call; });
  return text;
}

void FailureInjector::Clear() {
  for (auto& rules : rules_) rules.clear();
}

}  // namespace sim
