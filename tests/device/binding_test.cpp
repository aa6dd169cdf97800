// Loading, resolving and unloading the library, and its error texts.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>

#ifdef _WIN32
#include <windows.h>
#endif

#include "device/dravolin_library.h"
#include "device/errors.h"
#include "device/library_text.h"
#include "device/platform_loader.h"
#include "device/platform_process.h"
#include "relay_link.h"
#include "support/connected_sim.h"

namespace selvarex {
namespace {

using test::SimControl;
using test::SimSession;
using test::SimWorkDir;

TEST(Binding, MissingFileIsReportedAndNothingLoads) {
  SimWorkDir dir("");  // a working directory without the library
  DravolinLibrary library;
  EXPECT_EQ(SimSession::ErrorOf([&] { library.Load(); }),
            std::string("File ") + DravolinLibrary::LibraryPath() + " doesn't exists!");
  EXPECT_FALSE(library.IsOpen());
  EXPECT_FALSE(library.Has(drav::Entry::DravUsbOpen));
}

TEST(Binding, LibraryIsLookedForInTheWorkingDirectoryOnly) {
  // The library the build made lies elsewhere; the working directory is empty.
  ASSERT_TRUE(std::filesystem::exists(SimWorkDir::VariantPath("default")));
  SimWorkDir dir("");
  DravolinLibrary library;
  EXPECT_THROW(library.Load(), Exception);
}

TEST(Binding, FileThatIsNoLibraryRaisesTheSystemError) {
  SimWorkDir dir("");
  std::ofstream("Dravolin.dll") << "this is not a library";
  DravolinLibrary library;
  try {
    library.Load();
    FAIL() << "loading a text file succeeded";
  } catch (const EOSError& error) {
    EXPECT_NE(error.code(), 0u);
    const std::string prefix = "System Error.  Code: " + std::to_string(error.code()) + ".\r\n";
    const std::string message = error.what();
    EXPECT_EQ(message.rfind(prefix, 0), 0u) << message;
    EXPECT_GT(message.size(), prefix.size()) << "the system's text is missing";
  }
  EXPECT_FALSE(library.IsOpen());
}

TEST(Binding, OsErrorWithoutCodeHasTheGenericText) {
  EXPECT_EQ(EOSError(0, "ignored").what(), std::string("A call to an OS function failed"));
  EXPECT_EQ(EOSError(5, "Access is denied").what(), std::string("System Error.  Code: 5.\r\nAccess is denied"));
}

TEST(Binding, TheHostIsUsedWhereChosenAndWhereTheLibraryCannotBeLoadedOtherwise) {
  const char* before = std::getenv("SELVAREX_LIBRARY_HOST");
  const std::string saved = before != nullptr ? before : "";
  using B = DravolinLibrary::Binding;
  const std::pair<const char*, B> cases[] = {
      {"1", B::Host},
      {"0", B::InProcess},
      // A 64-bit Windows program cannot load the maker's 32-bit library itself.
      {"", sizeof(void*) == 8 && std::string(platform::CurrentDirectoryPrefix()) == ".\\" ? B::Host : B::InProcess},
  };
  for (const auto& [setting, binding] : cases) {
    sim::relay::SetEnv("SELVAREX_LIBRARY_HOST", setting);
    EXPECT_EQ(DravolinLibrary::ChosenBinding(), binding) << "SELVAREX_LIBRARY_HOST=" << setting;
    EXPECT_EQ(DravolinLibrary().UsedBinding(), binding) << "SELVAREX_LIBRARY_HOST=" << setting;
  }
  sim::relay::SetEnv("SELVAREX_LIBRARY_HOST", saved);

  // A host that is not there cannot be started, and the system says why.
  platform::OsError error;
  EXPECT_EQ(platform::ChildProcess::Start(std::filesystem::current_path() / "no-such-libhost", 4096, error), nullptr);
  EXPECT_EQ(error.code, 2u) << "file not found, on every system";
  EXPECT_FALSE(error.text.empty());
}

TEST(Binding, LoadResolvesAll36AndUnloadClearsThem) {
  SimWorkDir dir;
  DravolinLibrary library;
  for (int round = 0; round < 2; ++round) {
    library.Load();
    ASSERT_TRUE(library.IsOpen());
    for (std::size_t i = 0; i < drav::kEntryCount; ++i) {
      EXPECT_TRUE(library.Has(static_cast<drav::Entry>(i))) << drav::kEntryNames[i] << " round " << round;
    }
    library.Unload();
    EXPECT_FALSE(library.IsOpen());
    for (std::size_t i = 0; i < drav::kEntryCount; ++i) {
      EXPECT_FALSE(library.Has(static_cast<drav::Entry>(i))) << drav::kEntryNames[i];
    }
  }
}

TEST(Binding, AMissingExportLeavesOnlyItsReferenceEmpty) {
  for (std::size_t missing = 0; missing < drav::kEntryCount; ++missing) {
    const std::string name = drav::kEntryNames[missing];
    SimWorkDir dir("without_" + name);
    DravolinLibrary library;
    ASSERT_NO_THROW(library.Load()) << name;
    for (std::size_t i = 0; i < drav::kEntryCount; ++i) {
      EXPECT_EQ(library.Has(static_cast<drav::Entry>(i)), i != missing)
          << drav::kEntryNames[i] << " in the library without " << name;
    }
    library.Unload();
  }
}

TEST(Binding, LastErrorCarriesTheLibraryText) {
  SimSession s;
  s.sim->Fail(drav::Entry::DravUsbOpen, 1, 1, "Programmer is busy");
  EXPECT_EQ(s.library.Api().DravUsbOpen(), 0u);
  EXPECT_EQ(SimSession::ErrorOf([&] { s.library.RaiseLastDravolinError(); }), "Programmer is busy");
}

TEST(Binding, LastErrorOf511CharactersFillsTheBufferAndIsShownWhole) {
  SimSession s;
  const std::string text(511, 'x');
  s.sim->Fail(drav::Entry::DravUsbReset, 1, 1, text.c_str());
  s.library.Api().DravUsbReset(0);
  EXPECT_EQ(SimSession::ErrorOf([&] { s.library.RaiseLastDravolinError(); }), text);
  EXPECT_EQ(s.sim->LastArgs(drav::Entry::DravGetLastError), (std::vector<std::uint32_t>{1, 512}));
}

TEST(Binding, LastErrorFallsBackWhenTheLibraryGivesNoText) {
  const std::string fallback = "TFormMain::RaiseLastDravolinError";
  {
    SimSession s;
    s.sim->Fail(drav::Entry::DravGetLastError);
    EXPECT_EQ(SimSession::ErrorOf([&] { s.library.RaiseLastDravolinError(); }), fallback);
  }
  {
    SimSession s("without_DravGetLastError");
    EXPECT_EQ(SimSession::ErrorOf([&] { s.library.RaiseLastDravolinError(); }), fallback);
  }
}

TEST(LibraryText, StopsAtTheFirstNulOrTheEndOfTheBuffer) {
  const char withNul[8] = {'a', 'b', '\0', 'c', 'd', 'e', 'f', 'g'};
  EXPECT_EQ(TextFromBuffer(withNul, sizeof withNul), "ab");
  const char withoutNul[4] = {'w', 'x', 'y', 'z'};
  EXPECT_EQ(TextFromBuffer(withoutNul, sizeof withoutNul), "wxyz");
  EXPECT_EQ(TextFromBuffer(withNul, 0), "");
}

// Where the program meets the operating system beyond loading: the error
// sound of DevEnter and DevExit, and the 8-bit text the library writes.
TEST(PlatformSystem, ErrorSoundAndTheLibrarysTextAsUtf8) {
#ifdef _WIN32
  EXPECT_TRUE(platform::PlayErrorSound()) << "MessageBeep(MB_ICONHAND)";
  // "é" in the system's code page, where that page has it, comes out as UTF-8.
  char text[8] = {};
  BOOL lossy = FALSE;
  WideCharToMultiByte(CP_ACP, 0, L"x\u00E9", -1, text, sizeof text, nullptr, &lossy);
  if (!lossy) EXPECT_EQ(TextFromBuffer(text, sizeof text), "x\xC3\xA9");
#else
  EXPECT_FALSE(platform::PlayErrorSound()) << "the window's toolkit beeps instead";
  EXPECT_EQ(TextFromBuffer("x\xC3\xA9", 8), "x\xC3\xA9");
#endif
}

}  // namespace
}  // namespace selvarex
