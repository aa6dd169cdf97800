// The faults of a sweep: every library call of a fault-free dry run, named as
// "the nth call of this entry point", so that no call is left out and no list
// of calls is written by hand.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "device/dravolin_api.h"
#include "support/relay_server.h"
#include "support/sim_harness.h"

namespace selvarex::test {

struct Fault {
  drav::Entry entry;
  std::uint32_t nth;  // 1 = the entry's first call in the run
};

// One fault per call of the call log, in the order of the calls.
std::vector<Fault> FaultsOf(const std::vector<std::string>& callLog);

// The error text a fault leaves in the library, distinct for every fault.
std::string InjectedText(const Fault& fault);
// What the error box shows for a library error without text, or with an empty one.
inline const std::string kNoErrorText = "TFormMain::RaiseLastDravolinError.";

// How the library tells a failure: with its own text, not at all (its
// DravGetLastError fails), or with an empty text.
enum class ErrorText { Given, Refused, Empty };
inline constexpr ErrorText kErrorTexts[] = {ErrorText::Given, ErrorText::Refused, ErrorText::Empty};
// What the error box shows for the fault told that way.
std::string ShownError(const Fault& fault, ErrorText text);

// Makes the fault's call fail, told as given.
void Inject(const SimControl& sim, const Fault& fault, ErrorText text);

std::string Describe(const Fault& fault, ErrorText text = ErrorText::Given);

// The fault's call ends the library's host instead: killed as a crash in the
// library ends it, or exiting on its own, by turns. Returns how.
HostEnd StopHostAt(RelayServer& relay, const Fault& fault, std::size_t turn);
// What the error box shows when the host stopped so during the fault's call.
std::string HostStoppedText(const Fault& fault, HostEnd how);

}  // namespace selvarex::test
