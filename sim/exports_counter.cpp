// Entry points of the PostBus counter. The programmer has one counter; any
// live flash object reaches it.
#include "entry_call.h"
#include "sim_exports.h"

using drav::Entry;
using sim::Args;
using sim::EntryCall;
using sim::RunEntry;

extern "C" {

drav::BOOL32 DRAV_CALL DravCounterReset(drav::Handle flash) {
  return RunEntry<Entry::DravCounterReset>(Args(flash), [&](EntryCall& call) -> drav::BOOL32 {
    if (!call.model.objects.ChipOfFlash(flash)) return call.InvalidFlash(flash);
    call.model.counter.Reset();
    return 1;
  });
}

drav::BOOL32 DRAV_CALL DravCounterStart(drav::Handle flash) {
  return RunEntry<Entry::DravCounterStart>(Args(flash), [&](EntryCall& call) -> drav::BOOL32 {
    if (!call.model.objects.ChipOfFlash(flash)) return call.InvalidFlash(flash);
    call.model.counter.Start();
    return 1;
  });
}

drav::BOOL32 DRAV_CALL DravCounterGet(drav::Handle flash, std::int32_t* running, std::uint32_t* ticks,
                                      std::uint8_t* value, std::int32_t* timedOut) {
  return RunEntry<Entry::DravCounterGet>(Args(flash, running, ticks, value, timedOut),
                                         [&](EntryCall& call) -> drav::BOOL32 {
                                           if (!call.model.objects.ChipOfFlash(flash)) return call.InvalidFlash(flash);
                                           if (running == nullptr) return call.NullArgument(2);
                                           if (ticks == nullptr) return call.NullArgument(3);
                                           if (value == nullptr) return call.NullArgument(4);
                                           if (timedOut == nullptr) return call.NullArgument(5);
                                           const SimCounterPoll poll = call.model.counter.Poll();
                                           call.Out(running, poll.running);
                                           call.Out(ticks, poll.ticks);
                                           call.Out(value, poll.value);
                                           call.Out(timedOut, poll.timedOut);
                                           return 1;
                                         });
}

}  // extern "C"
