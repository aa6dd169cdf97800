// The program against a host that breaks the protocol: every broken reply is
// refused with a clear error, nothing is written from it, the host is ended
// and the library counts as unloaded.
#include <gtest/gtest.h>

#include "device/dravolin_library.h"
#include "device/errors.h"
#include "relay_link.h"
#include "support/sim_harness.h"

namespace selvarex {
namespace {

struct BrokenReply {
  const char* rule;     // SELVAREX_ROGUE_HOST
  drav::Entry call;     // the call whose reply breaks (after a good load)
  const char* message;  // the error box's text
};

std::string Call(DravolinLibrary& library, drav::Entry entry, std::uint8_t& status) {
  const drav::EntryTable& api = library.Api();
  char text[512] = {};
  std::uint32_t count = 0;
  try {
    if (entry == drav::Entry::DravUsbDEVEnter) api.DravUsbDEVEnter(0, &status);
    if (entry == drav::Entry::DravGetLastError) api.DravGetLastError(text, sizeof text);
    if (entry == drav::Entry::DravUsbDeviceCount) api.DravUsbDeviceCount(&count);
  } catch (const ELibraryHostStopped& stopped) {
    return stopped.what();
  }
  return "no error";
}

TEST(RogueHost, EveryBrokenReplyIsRefusedAndTheLibraryUnloaded) {
  const std::string malformed = "The device library host sent a malformed reply (";
  const std::string unloaded = "; it has been stopped and the library has been unloaded.";
  const std::vector<BrokenReply> cases = {
      {"2:garbage", drav::Entry::DravUsbDeviceCount, "not a reply) during DravUsbDeviceCount"},
      {"2:oversized", drav::Entry::DravUsbDeviceCount, "a payload of 1048577 bytes) during DravUsbDeviceCount"},
      {"2:wrong-kind", drav::Entry::DravUsbDeviceCount, "a reply of another kind) during DravUsbDeviceCount"},
      {"2:wide-out", drav::Entry::DravUsbDEVEnter, "an out-value wider than its variable) during DravUsbDEVEnter"},
      {"2:short-buffer", drav::Entry::DravGetLastError, "a buffer of the wrong size) during DravGetLastError"},
  };
  test::SimWorkDir dir("default");
  for (const BrokenReply& c : cases) {
    SCOPED_TRACE(c.rule);
    sim::relay::SetEnv("SELVAREX_ROGUE_HOST", c.rule);
    DravolinLibrary library(DravolinLibrary::Binding::Host);
    library.Load();
    std::uint8_t status = 0x11;
    EXPECT_EQ(Call(library, c.call, status), malformed + c.message + unloaded);
    EXPECT_EQ(status, 0x11) << "nothing is written from a broken reply";
    EXPECT_FALSE(library.IsOpen());
    EXPECT_FALSE(library.Has(c.call));
    // The references a caller kept fail cleanly too.
    sim::relay::SetEnv("SELVAREX_ROGUE_HOST", "");
    library.Load();
    const auto kept = library.Api().DravUsbDeviceCount;
    library.Unload();
    std::uint32_t count = 0;
    EXPECT_THROW(kept(&count), ELibraryHostStopped);
  }

  sim::relay::SetEnv("SELVAREX_ROGUE_HOST", "2:truncate");
  DravolinLibrary library(DravolinLibrary::Binding::Host);
  library.Load();
  std::uint8_t status = 0;
  EXPECT_EQ(Call(library, drav::Entry::DravUsbDeviceCount, status),
            "The device library host stopped (exit code 7) during DravUsbDeviceCount; the library has been unloaded.");
  EXPECT_FALSE(library.IsOpen());

  for (const char* rule : {"1:garbage", "1:extra-exports"}) {
    sim::relay::SetEnv("SELVAREX_ROGUE_HOST", rule);
    DravolinLibrary again(DravolinLibrary::Binding::Host);
    try {
      again.Load();
      ADD_FAILURE() << rule << ": loaded";
    } catch (const ELibraryHostStopped& stopped) {
      const std::string what = std::string(rule) == "1:garbage" ? "not a reply" : "entries beyond the 36";
      EXPECT_EQ(stopped.what(), malformed + what +
                                    ") while loading the library; it has been stopped and the library has not "
                                    "been loaded.");
    }
    EXPECT_FALSE(again.IsOpen());
  }
  sim::relay::SetEnv("SELVAREX_ROGUE_HOST", "");
}

TEST(RogueHost, ABufferLargerThanTheHostPassesIsRefusedBeforeItIsSent) {
  test::SimWorkDir dir("default");
  DravolinLibrary library(DravolinLibrary::Binding::Host);
  library.Load();
  std::vector<std::uint8_t> huge((2u << 20) + 1);
  try {
    library.Api().DravFlashRead(1, 0, huge.data(), static_cast<std::uint32_t>(huge.size()));
    ADD_FAILURE() << "a read of 2 MiB went through";
  } catch (const ELibraryHostStopped&) {
    ADD_FAILURE() << "the host was stopped for the caller's mistake";
  } catch (const Exception& error) {
    EXPECT_EQ(std::string(error.what()),
              "DravFlashRead was given 2097153 bytes at once; the device library host passes at most 1048576. "
              "Nothing has been sent to the library.");
  }
  EXPECT_TRUE(library.IsOpen());
  std::uint32_t count = 0;
  EXPECT_EQ(library.Api().DravUsbDeviceCount(&count), 1);
  library.Unload();
}

}  // namespace
}  // namespace selvarex
