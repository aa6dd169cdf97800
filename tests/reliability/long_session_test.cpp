// A long operator session through the real window: loading, connecting,
// choosing flashes, reading, writing, erasing, every device command and the
// counter, disconnecting and unloading, in a random order drawn from a fixed
// seed, with library failures injected now and then. Errors may only come
// from injected failures, the window must stay usable throughout, and the
// library's live objects may only grow by what the program leaves behind on
// purpose: the device object when the library is unloaded while connected,
// and the flash objects that device created. The sanitizer build runs this
// too, where any memory error or leak fails it.
#include <QButtonGroup>
#include <QRadioButton>
#include <fstream>
#include <iostream>
#include <map>
#include <random>

#include "fault_sweep.h"
#include "log_shape.h"
#include "open_files.h"
#include "reliability_window.h"

namespace selvarex::test {
namespace {

using A = ActionId;

constexpr int kOperations = 400;
constexpr std::uint32_t kChipBlocks = 24;

enum class Op { Load, Unload, Connect, Disconnect, Flash0, Flash1, Read, Write, Erase, Command, Idle };

// What the operator may do next, and how often compared with the rest.
struct Choice {
  Op op;
  A action;  // the command behind the op; for the flash choice the selector decides
  int weight;
};
const Choice kChoices[] = {
    {Op::Load, A::actDLLLoad, 2},
    {Op::Unload, A::actDLLUnload, 1},
    {Op::Connect, A::actDravolinConnect, 3},
    {Op::Disconnect, A::actDravolinDisconnect, 1},
    {Op::Flash0, A::actDevSetWriteVerify, 3},
    {Op::Flash1, A::actDevSetWriteVerify, 2},
    {Op::Read, A::actFlashRead, 3},
    {Op::Write, A::actFlashProgram, 3},
    {Op::Erase, A::actFlashEraseSector, 3},
    {Op::Command, A::actPLDReset, 1},
    {Op::Command, A::actDravolinReset, 1},
    {Op::Command, A::actDravolinSetTimeOut, 1},
    {Op::Command, A::actPLDDevEnter, 1},
    {Op::Command, A::actPLDDevExit, 1},
    {Op::Command, A::actFlashBlank, 1},
    {Op::Command, A::actFlashEraseAll, 1},
    {Op::Command, A::actFlashFlashReset, 1},
    {Op::Command, A::actFlashGetDeviceSize, 1},
    {Op::Command, A::actCounter, 1},
    {Op::Idle, A::actDLLLoad, 1},
};

class LongSession : public ReliabilityWindow {
 protected:
  void SetUp() override {
    ReliabilityWindow::SetUp();
    Sim().SimCtl_Reset();
    Sim().SimCtl_SetTiming(0);
    Sim().SimCtl_SetChip(1, 0x2B74, nullptr, nullptr, 1, 1);  // both flashes usable
    for (std::uint32_t chip : {0u, 1u}) {
      Sim().SimCtl_SetBlockCount(chip, kChipBlocks);
      Sim().SimCtl_SetMarker(chip, 3 + chip, 0x00);
    }
    // An image as long as the chips, one of its blocks bad.
    std::ofstream image(FilePath("image.bin"), std::ios::binary);
    for (std::uint32_t b = 0; b < kChipBlocks; ++b) {
      std::vector<char> block(kBlockBytes, static_cast<char>(b * 11 + 1));
      block[nand::kMarkerOffset] = b == 10 ? '\0' : '\xFF';
      image.write(block.data(), kBlockBytes);
    }
  }

  void Perform(Op op, A command, std::mt19937& rng) {
    const std::uint32_t first = rng() % (kChipBlocks - 4);
    const std::uint32_t count = rng() % 5;
    switch (op) {
      case Op::Load: return Execute(A::actDLLLoad);
      case Op::Unload: return Execute(A::actDLLUnload);
      case Op::Connect: return Execute(A::actDravolinConnect);
      case Op::Disconnect: return Execute(A::actDravolinDisconnect);
      case Op::Flash0:
      case Op::Flash1:
        // A disabled selector takes no clicks.
        FlashItem(*window, op == Op::Flash0 ? 0 : 1)->click();
        return;
      case Op::Read:
        AnswerParameters(QString::number(first * kBlockBytes), QString::number(count * kBlockBytes),
                         QFilePath("dump.bin"));
        return Execute(A::actFlashRead);
      case Op::Write:
        AnswerParameters(QString::number(first * kBlockBytes), QString::number(count * kBlockBytes),
                         QFilePath("image.bin"));
        return Execute(A::actFlashProgram);
      case Op::Erase:
        AnswerParameters(QString::number(first * kBlockBytes), QString::number(first + count));
        return Execute(A::actFlashEraseSector);
      case Op::Command:
        if (command == A::actDravolinSetTimeOut) AnswerTimeout(QString::number(rng() % 10000), "5000");
        return Execute(command);
      case Op::Idle: return;
    }
  }

  // One operation with its idle pass, and the bookkeeping of the library
  // objects the program gave up on.
  void Step(Op op, std::mt19937& rng, A command = A::actPLDReset) {
    const drav::Handle device = window->Connection().DeviceHandle();
    const drav::Handle flash = window->Connection().FlashHandle();
    Perform(op, command, rng);
    prompts.answers.clear();
    ASSERT_TRUE(window->RunIdlePass()) << "no modal window may be left open";
    const drav::Handle deviceNow = window->Connection().DeviceHandle();
    if (device != 0 && deviceNow != device) {
      // Only a disconnect destroys the device object; otherwise it is left behind.
      if (op != Op::Disconnect) ++leftDevices, leftFlashes += flashesOf[device];
      flashesOf.erase(device);
    }
    const drav::Handle flashNow = window->Connection().FlashHandle();
    if (flashNow != 0 && flashNow != flash) ++flashesOf[deviceNow];
  }

  std::map<drav::Handle, std::uint32_t> flashesOf;  // flash objects each held device created
  std::uint32_t leftDevices = 0;
  std::uint32_t leftFlashes = 0;
};

TEST_F(LongSession, HundredsOfOperationsWithFaultsLeaveNoErrorsAndNoGrowth) {
  // SELVAREX_SESSION_SEED runs another session (the suite always runs this one).
  const QByteArray seed = qgetenv("SELVAREX_SESSION_SEED");
  std::mt19937 rng(seed.isEmpty() ? 20081207u : seed.toUInt());
  int faults = 0, errorBoxes = 0, messages = 0;
  std::vector<std::string> lastCalls;
  for (int i = 0; i < kOperations; ++i) {
    // Mostly what the window offers; now and then a command it has disabled.
    const bool anything = rng() % 10 == 0;
    std::vector<const Choice*> offered;
    int total = 0;
    for (const Choice& c : kChoices) {
      const bool enabled = c.op == Op::Flash0 || c.op == Op::Flash1 ? FlashSelector(*window)->isEnabled()
                           : c.op == Op::Idle                       ? true
                                                                    : Enabled(c.action);
      if (anything || enabled) offered.push_back(&c), total += c.weight;
    }
    int pick = static_cast<int>(rng() % static_cast<unsigned>(total));
    const Choice* choice = offered.front();
    for (const Choice* c : offered) {
      if (pick < c->weight) {
        choice = c;
        break;
      }
      pick -= c->weight;
    }
    // Half the faults hit an entry point the last operation used, so that
    // they are likely to be met again.
    const bool inject = rng() % 5 < 2;
    drav::Entry entry = static_cast<drav::Entry>(rng() % drav::kEntryCount);
    if (rng() % 2 == 0 && !lastCalls.empty()) entry = FaultsOf({lastCalls[rng() % lastCalls.size()]}).front().entry;
    const Fault fault{entry, static_cast<std::uint32_t>(1 + rng() % 3)};
    const ErrorText told = kErrorTexts[rng() % 3];
    if (inject) Inject(Sim(), fault, told), ++faults;
    const std::size_t errorsBefore = prompts.errors.size();
    SCOPED_TRACE("operation " + std::to_string(i) + (inject ? ", fault " + Describe(fault) : ""));
    Sim().SimCtl_ResetCounts();
    Step(choice->op, rng, choice->action);
    Sim().SimCtl_ClearFailures();
    lastCalls = Sim().CallLog();
    ASSERT_FALSE(HasFatalFailure());

    for (std::size_t e = errorsBefore; e < prompts.errors.size(); ++e) {
      EXPECT_TRUE(inject) << "error without an injected fault: " << prompts.errors[e];
      if (inject) EXPECT_EQ(prompts.errors[e], ShownError(fault, told));
    }
    EXPECT_EQ(prompts.unexpectedDialogs, 0);
    EXPECT_EQ(OpenFilesUnder(dir_.path()), std::vector<std::string>{});
    errorBoxes += static_cast<int>(prompts.errors.size() - errorsBefore);
  }
  messages = static_cast<int>(prompts.messages.size());

  // A clean connection and disconnection at the end: nothing else may live on.
  if (!window->IsDLLOpen()) Step(Op::Load, rng);
  if (!window->IsConnected()) Step(Op::Connect, rng);
  Step(Op::Disconnect, rng);
  ASSERT_FALSE(window->IsConnected()) << Errors();
  std::uint32_t usb = 0, devices = 0, flashes = 0;
  Sim().SimCtl_LiveObjects(&usb, &devices, &flashes);
  EXPECT_EQ(usb, 0u);
  EXPECT_EQ(devices, leftDevices);
  EXPECT_EQ(flashes, leftFlashes);
  const LogShape log = ParseLogFile(LogPath());
  EXPECT_EQ(log.error, "");
  std::cout << "[ session  ] " << kOperations << " operations, " << faults << " faults injected, " << errorBoxes
            << " error boxes, " << messages << " messages, " << log.sections.size() << " log sections, " << leftDevices
            << " device objects and " << leftFlashes << " flash objects left by unloading\n";
}

}  // namespace
}  // namespace selvarex::test
