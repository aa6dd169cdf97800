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
  return std::string("Injected failure of ") + drav::EntryName(fault.entry) + " call " + std::to_string(fault.nth);
}

std::string ShownError(const Fault& fault, ErrorText text) {
  return text == ErrorText::Given ? InjectedText(fault) + "." : kNoErrorText;
}

HostEnd StopHostAt(RelayServer& relay, const Fault& fault, std::size_t turn) {
  const HostEnd how = turn % 2 == 0 ? HostEnd::Killed : HostEnd::Exits;
  relay.StopHostAt(fault.entry, fault.nth, how);
  return how;
}

std::string HostStoppedText(const Fault& fault, HostEnd how) {
  std::string status = "exit code " + std::to_string(sim::relay::kLinkCutExitCode);
  if (how == HostEnd::Killed) {
#ifdef _WIN32
    status = "exit code 0xC0000005";  // what TerminateProcess was given, as a crash reports it
#else
    status = "killed by signal 9";
#endif
  }
  return "The device library host stopped (" + status + ") during " + drav::EntryName(fault.entry) +
         "; the library has been unloaded.";
}

void Inject(const SimControl& sim, const Fault& fault, ErrorText text) {
  sim.Fail(fault.entry, fault.nth, 1, text == ErrorText::Empty ? "" : InjectedText(fault).c_str());
  if (text == ErrorText::Refused) sim.Fail(drav::Entry::DravGetLastError, 1, 1);
}

std::string Describe(const Fault& fault, ErrorText text) {
  const char* told[] = {"", " without error text", " with an empty error text"};
  return std::string(drav::EntryName(fault.entry)) + " #" + std::to_string(fault.nth) + told[static_cast<int>(text)];
}

}  // namespace selvarex::test
