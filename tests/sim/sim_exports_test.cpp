// Which functions each build of the simulated library exports.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "device/dravolin_library.h"
#include "support/sim_harness.h"

namespace selvarex::test {
namespace {

struct Variant {
  std::string name;
  std::set<std::string> missing;
};

std::vector<Variant> AllVariants() {
  std::vector<Variant> variants{{"default", {}},
                                {"without_counter", {"DravCounterStart", "DravCounterGet", "DravCounterReset"}}};
  Variant none{"without_all", {}};
  for (const char* name : drav::kEntryNames) {
    variants.push_back({std::string("without_") + name, {name}});
    none.missing.insert(name);
  }
  variants.push_back(none);
  return variants;
}

TEST(SimExports, EachVariantLacksExactlyItsEntriesAndKeepsTheControlInterface) {
  for (const Variant& v : AllVariants()) {
    SimWorkDir dir(v.name);
    DravolinLibrary library;
    library.Load();
    for (std::size_t i = 0; i < drav::kEntryCount; ++i) {
      const bool expected = v.missing.count(drav::kEntryNames[i]) == 0;
      EXPECT_EQ(library.Has(static_cast<drav::Entry>(i)), expected) << drav::kEntryNames[i] << " in " << v.name;
    }
    EXPECT_NO_THROW(SimControl control) << v.name;
    library.Unload();
  }
}

TEST(SimExports, TheModelStaysInside) {
  SimWorkDir dir;
  const auto module = platform::OpenLibrary(std::string(platform::CurrentDirectoryPrefix()) + "Dravolin.dll");
  ASSERT_NE(module, nullptr);
  // sim::Model() and sim::NandChip::Read, as the compiler names them.
  for (const char* inner : {"_ZN3sim5ModelEv", "_ZNK3sim8NandChip4ReadEjPhj", "Model", "RunEntry"}) {
    EXPECT_EQ(platform::FindSymbol(module, inner), nullptr) << inner;
  }
  EXPECT_NE(platform::FindSymbol(module, "DravFlashRead"), nullptr);
  platform::CloseLibrary(module);
}

TEST(SimExports, EveryCopyHasAModelOfItsOwn) {
  // The working directory's copy and the build's own file: two libraries
  // (a second "./Dravolin.dll" would only return the one already loaded).
  SimWorkDir dir;
  SimControl local;
  const auto module = platform::OpenLibrary(SimWorkDir::VariantPath("default").string());
  ASSERT_NE(module, nullptr);
  const auto setCount =
      reinterpret_cast<SimCtl_SetDeviceCount_t>(platform::FindSymbol(module, "SimCtl_SetDeviceCount"));
  const auto count = reinterpret_cast<drav::DravUsbDeviceCount_t>(platform::FindSymbol(module, "DravUsbDeviceCount"));
  ASSERT_NE(setCount, nullptr);
  ASSERT_NE(count, nullptr);
  local.SimCtl_SetDeviceCount(7);
  std::uint32_t n = 0;
  ASSERT_EQ(count(&n), 1);
  EXPECT_EQ(n, 1u) << "one copy saw the other's setting";
  EXPECT_EQ(local.SimCtl_TotalCalls(), 0u);
  setCount(0);
  DravolinLibrary library;
  library.Load();
  ASSERT_EQ(library.Api().DravUsbDeviceCount(&n), 1);
  EXPECT_EQ(n, 7u);
  library.Unload();
  platform::CloseLibrary(module);
}

}  // namespace
}  // namespace selvarex::test
