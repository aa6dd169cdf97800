// The 18 commands, as the main window shows them, and the rule that enables
// each of them, as plain data and one plain function: the window applies the
// rules at every idle pass, the command line before it runs a command.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <string>

#include "device/dravolin_api.h"

namespace selvarex {

enum class ActionId {
  actDLLLoad,
  actDLLUnload,
  actDravolinConnect,
  actDravolinDisconnect,
  actPLDReset,
  actDravolinReset,
  actDravolinSetTimeOut,
  actPLDDevEnter,
  actPLDDevExit,
  actDevSetWriteVerify,
  actFlashBlank,
  actFlashEraseAll,
  actFlashEraseSector,
  actFlashRead,
  actFlashProgram,
  actFlashFlashReset,
  actFlashGetDeviceSize,
  actCounter,
};

// The terms rules are made of; Entry terms name their entry point.
enum class Term { DLLClosed, DLLOpen, NotConnected, Connected, FlashProdSupported, Entry, Flash, FlashItemSelected };
struct RuleTerm {
  Term term;
  drav::Entry entry = drav::Entry::DravUsbOpen;
};

// One command: everything the window shows of it and the rule that enables it
// (its terms, evaluated left to right).
struct ActionInfo {
  ActionId id;
  const char* name;
  const char* caption;
  const char* category;
  bool startsEnabled;
  bool hasHint;  // the hint is the caption without "&"
  std::span<const RuleTerm> rule;
};

constexpr std::size_t kActionCount = 18;
const std::array<ActionInfo, kActionCount>& ActionTable();

// Tables of commands are looked up by ActionId: row i must be command i.
template <typename Row, std::size_t N>
constexpr bool InIdOrder(const std::array<Row, N>& rows) {
  for (std::size_t i = 0; i < N; ++i) {
    if (rows[i].id != static_cast<ActionId>(i)) return false;
  }
  return true;
}
const ActionInfo& InfoOf(ActionId id);

// The block-wise runs (erase, write, read), which the operator can stop: while
// one runs, its command's caption is this, and choosing it stops the run.
bool IsStoppable(ActionId id);
constexpr const char* kStopCaption = "Stop";

// What the rules look at. IsFlashProdSupported asks the library and may throw.
class RuleState {
 public:
  virtual ~RuleState() = default;
  virtual bool IsDLLOpen() = 0;
  virtual bool IsConnected() = 0;
  virtual bool IsFlashProdSupported() = 0;
  virtual bool HasEntry(drav::Entry entry) = 0;
  virtual bool HasFlash() = 0;           // FFlash non-zero
  virtual bool FlashItemSelected() = 0;  // an item of the flash selector is chosen
  // The command that holds the device while the message loop turns (a
  // block-wise run or the counter), if any.
  virtual std::optional<ActionId> RunningCommand() = 0;
};

// The rule of one command, evaluated left to right and stopping at the first
// false term, so the library is asked only while connected. For
// actDevSetWriteVerify the result is the state of the write-verify check box
// (the action itself always stays disabled). While a command holds the device
// every other command is unavailable; a stoppable run keeps its own command,
// as its Stop.
bool IsActionEnabled(ActionId id, RuleState& state);

// The term at which the command's rule stops, or none when the rule holds
// (whatever command may be running).
std::optional<RuleTerm> FirstFalseTerm(ActionId id, RuleState& state);
// Why a command is unavailable when that term does not hold, in the words of
// the panels ("The selected flash chip is not supported (Flash supported: No).").
std::string UnavailableText(const RuleTerm& term);

}  // namespace selvarex
