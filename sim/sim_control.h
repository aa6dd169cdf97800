// Control interface of the simulated programmer library, for tests and
// benchmarks only. The functions are exported beside the 36 entry points under
// names that start with "SimCtl_", which the program never looks up.
//
// Numbers of chips: 0 = "Flash 0", 1 = "Flash 1".
// Entry names are the exact export names ("DravFlashRead"); an unknown name
// makes a function return -1 (or 0 for counts) and changes nothing.
#pragma once

#include <cstdint>

#include "device/dravolin_api.h"

struct SimCounterPoll {
  std::int32_t running;
  std::uint32_t ticks;
  std::uint8_t value;
  std::int32_t timedOut;
};

// Misbehaviour flags for SimCtl_Misbehave.
enum : std::uint32_t {
  kSimTextsWithoutNul = 1u << 0,  // every text fills its whole buffer, no terminator
  kSimSkipOutValues = 1u << 1,    // calls succeed without writing their out-values
};

// Per-block fault flags for SimCtl_FailBlock.
enum : std::uint32_t {
  kSimFailErase = 1u << 0,
  kSimFailWrite = 1u << 1,
  kSimFailRead = 1u << 2,  // any read touching the block fails
};

// X(name, result, params)
#define SIM_CONTROL_FUNCTIONS(X)                                                                                    \
  /* Factory state: chips, programmer, handles, failures, scripts, counts, misbehaviour. */                         \
  X(SimCtl_Reset, void, (void))                                                                                     \
  /* Clears the call counts, the call log and the recorded arguments only. */                                       \
  X(SimCtl_ResetCounts, void, (void))                                                                               \
  /* Calls of one entry point since the last reset of the counts. */                                                \
  X(SimCtl_CallCount, std::uint32_t, (const char* entry))                                                           \
  /* Calls of all 36 entry points since the last reset of the counts. */                                            \
  X(SimCtl_TotalCalls, std::uint32_t, (void))                                                                       \
  /* The names of the calls since the last reset of the counts, oldest first, separated by ","  */                  \
  /* (at most the last 100000 calls). Writes a NUL-terminated text cut to the buffer; returns   */                  \
  /* the length the whole text needs, without its terminator.                                   */                  \
  X(SimCtl_CallLog, std::uint32_t, (char* buffer, std::uint32_t size))                                              \
  /* The arguments of the entry's last call, as 32-bit values; a pointer argument is recorded   */                  \
  /* as 1 when non-null, 0 when null. Returns how many arguments the entry takes (at most       */                  \
  /* 5), -1 for an unknown name or an entry not called since the last reset of the counts.      */                  \
  X(SimCtl_LastArgs, std::int32_t, (const char* entry, std::uint32_t* args, std::uint32_t count))                   \
  /* Makes calls of an entry point fail: the nth call from now (1 = the next one) and the      */                   \
  /* count - 1 calls after it; count 0 = every call from the nth on. A failing call does       */                   \
  /* nothing, writes no out-value, returns 0 and sets the last error to text (a default text   */                   \
  /* naming the entry when text is null). Returns 0, or -1 for an unknown name.               */                    \
  X(SimCtl_FailCall, std::int32_t, (const char* entry, std::uint32_t nth, std::uint32_t count, const char* text))   \
  /* Removes every pending injected failure. */                                                                     \
  X(SimCtl_ClearFailures, void, (void))                                                                             \
  /* Makes erases, writes and/or reads of one block fail (flags above; 0 clears). */                                \
  X(SimCtl_FailBlock, std::int32_t, (std::uint32_t chip, std::uint32_t block, std::uint32_t flags))                 \
  X(SimCtl_Misbehave, void, (std::uint32_t flags))                                                                  \
  /* Programmer. */                                                                                                 \
  X(SimCtl_SetDeviceCount, void, (std::uint32_t count))                                                             \
  X(SimCtl_SetVersions, void,                                                                                       \
    (std::uint32_t dllHigh, std::uint32_t dllLow, std::uint32_t driverHigh, std::uint32_t driverLow,                \
     std::uint16_t loader))                                                                                         \
  X(SimCtl_SetPld, void, (std::uint16_t pldId, std::uint32_t pldStatus))                                            \
  /* Statuses returned by the next DravUsbDEVEnter (exitMode 0) or DravUsbDEVExit (exitMode 1) */                   \
  /* calls, one per call; when the script runs out, 0x81 / 0x80 again.                         */                   \
  X(SimCtl_ScriptDevStatus, void, (std::int32_t exitMode, const std::uint8_t* statuses, std::uint32_t count))       \
  /* Polls returned by DravCounterGet after the next DravCounterStart, one per call; the last   */                  \
  /* one repeats. count 0 restores the default measurement.                                    */                   \
  X(SimCtl_ScriptCounter, void, (const SimCounterPoll* polls, std::uint32_t count))                                 \
  /* Chips. A null name keeps the current one. */                                                                   \
  X(SimCtl_SetChip, std::int32_t,                                                                                   \
    (std::uint32_t chip, std::uint16_t flashId, const char* fullName, const char* prodName, std::int32_t supported, \
     std::int32_t prodSupported))                                                                                   \
  /* Number of 135168-byte blocks (1 to 31775); the content is back to factory state. */                            \
  X(SimCtl_SetBlockCount, std::int32_t, (std::uint32_t chip, std::uint32_t blocks))                                 \
  /* Writes the bad-block marker (offset 2048) of a block as it is, no NAND rules; a value     */                   \
  /* other than 0xFF makes the block a factory bad block, 0xFF makes it good.                  */                   \
  X(SimCtl_SetMarker, std::int32_t, (std::uint32_t chip, std::uint32_t block, std::uint8_t marker))                 \
  /* Raw access to the chip's bytes, no NAND rules. Return 0, or -1 outside the chip. */                            \
  X(SimCtl_WriteRaw, std::int32_t,                                                                                  \
    (std::uint32_t chip, std::uint32_t address, const std::uint8_t* data, std::uint32_t length))                    \
  X(SimCtl_ReadRaw, std::int32_t,                                                                                   \
    (std::uint32_t chip, std::uint32_t address, std::uint8_t * data, std::uint32_t length))                         \
  /* 1 when the block is a factory bad block (its marker was set bad), else 0; -1 outside. */                       \
  X(SimCtl_IsFactoryBad, std::int32_t, (std::uint32_t chip, std::uint32_t block))                                   \
  /* Blocks whose memory the model has allocated (changed since the factory state). */                              \
  X(SimCtl_AllocatedBlocks, std::uint32_t, (std::uint32_t chip))                                                    \
  /* Write verify as last set by DravFlashSetWVerify on a flash object of the chip (0/1). */                        \
  X(SimCtl_WriteVerify, std::int32_t, (std::uint32_t chip))                                                         \
  /* Library objects alive now: open programmer handles, device objects, flash objects. */                          \
  X(SimCtl_LiveObjects, void, (std::uint32_t * usbHandles, std::uint32_t * devices, std::uint32_t * flashes))       \
  /* Realistic timing on (1) or off (0); starts as DRAVOLIN_SIM_TIMING says. */                                     \
  X(SimCtl_SetTiming, void, (std::int32_t realistic))                                                               \
  /* Device time simulated since the last reset of the counts, in nanoseconds. */                                   \
  X(SimCtl_SimulatedTimeNs, std::uint64_t, (void))                                                                  \
  /* Wall time spent inside the 36 entries since the last reset of the counts, in nanoseconds. */                   \
  X(SimCtl_TimeInCallsNs, std::uint64_t, (void))

#define SIM_DECLARE_TYPE(name, result, params) using name##_t = result(DRAV_CALL*) params;
SIM_CONTROL_FUNCTIONS(SIM_DECLARE_TYPE)
#undef SIM_DECLARE_TYPE
