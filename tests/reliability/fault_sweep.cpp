#include "fault_sweep.h"

#include <map>
#include <stdexcept>

namespace selvarex::test {

namespace {

drav::Entry EntryNamed(const std::string& name) {
  for (std::size_t i = 0; i < drav::kEntryCount; ++i) {
    if (name == drav::kEntryNames[i]) return static_cast<drav::Entry>(i);
  }
  throw std::invalid_argument("no entry point " + name);
}

}  // namespace

std::vector<Fault> FaultsOf(const std::vector<std::string>& callLog) {
  std::map<std::string, std::uint32_t> seen;
  std::vector<Fault> faults;
  for (const std::string& name : callLog) faults.push_back(Fault{EntryNamed(name), ++seen[name]});
  return faults;
}

std::string InjectedText(const Fault& fault) {
  return std::string("Injected failure of ") + drav::EntryName(fault.entry) + " call " +
         std::to_string(fault.nth);
}

std::string ShownError(const Fault& fault, ErrorText text) {
  return text == ErrorText::Given ? InjectedText(fault) + "." : kNoErrorText;
}

void Inject(const SimControl& sim, const Fault& fault, ErrorText text) {
  sim.Fail(fault.entry, fault.nth, 1, text == ErrorText::Empty ? "" : InjectedText(fault).c_str());
  if (text == ErrorText::Refused) sim.Fail(drav::Entry::DravGetLastError, 1, 1);
}

std::string Describe(const Fault& fault, ErrorText text) {
  const char* told[] = {"", " without error text", " with an empty error text"};
  return std::string(drav::EntryName(fault.entry)) + " #" + std::to_string(fault.nth) +
         told[static_cast<int>(text)];
}

}  // namespace selvarex::test
