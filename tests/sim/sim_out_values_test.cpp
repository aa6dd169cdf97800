// Out-values and texts: their exact widths, what failing calls leave alone,
// names cut to the buffer, and the two kinds of misbehaviour.
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "sim/sim_control.h"
#include "sim_fixture.h"

namespace selvarex::test {
namespace {

using drav::Entry;

class SimOutValues : public SimTest {
 protected:
  // One query that writes a single out-value into out.
  struct Query {
    const char* name;
    std::size_t width;
    std::uint32_t expected;
    std::function<drav::BOOL32(const Objects&, void* out)> call;
  };

  std::vector<Query> Queries() {
    const auto& api = Api();
    auto u16 = [](void* p) { return static_cast<std::uint16_t*>(p); };
    auto u32 = [](void* p) { return static_cast<std::uint32_t*>(p); };
    auto u8 = [](void* p) { return static_cast<std::uint8_t*>(p); };
    return {
        {"GetFlashID", 2, 0xC3A1, [=](const Objects& o, void* p) { return api.GetFlashID(o.usb, u16(p)); }},
        {"DravUsbGetLoaderVersion", 2, 0x0102,
         [=](const Objects& o, void* p) { return api.DravUsbGetLoaderVersion(o.usb, u16(p)); }},
        {"DravUsbGetPLDID", 2, 3, [=](const Objects& o, void* p) { return api.DravUsbGetPLDID(o.usb, u16(p)); }},
        {"DravUsbGetPldStatus", 4, 0,
         [=](const Objects& o, void* p) { return api.DravUsbGetPldStatus(o.usb, u32(p)); }},
        {"DravUsbDEVEnter", 1, 0x81, [=](const Objects& o, void* p) { return api.DravUsbDEVEnter(o.usb, u8(p)); }},
        {"DravUsbDEVExit", 1, 0x80, [=](const Objects& o, void* p) { return api.DravUsbDEVExit(o.usb, u8(p)); }},
        {"DravDevGetFlashID", 2, 0xC3A1,
         [=](const Objects& o, void* p) { return api.DravDevGetFlashID(o.device, o.usb, u16(p)); }},
        {"DravDevIsSupported", 4, 1,
         [=](const Objects& o, void* p) { return api.DravDevIsSupported(o.device, 0xC3A1, u32(p)); }},
        {"DravFlashGetDeviceSize", 4, kChipSize,
         [=](const Objects& o, void* p) { return api.DravFlashGetDeviceSize(o.flash, u32(p)); }},
    };
  }

  static std::uint32_t Value(const std::uint8_t* bytes, std::size_t width) {
    std::uint32_t v = 0;
    std::memcpy(&v, bytes, width);  // little-endian, like every target of the program
    return v;
  }
};

TEST_F(SimOutValues, EachValueHasItsExactWidth) {
  const Objects o = OpenChip();
  for (const Query& q : Queries()) {
    // One byte off alignment: the library must not rely on the caller's alignment.
    alignas(8) std::uint8_t guard[12];
    std::memset(guard, 0xEE, sizeof guard);
    ASSERT_EQ(q.call(o, guard + 1), 1) << q.name << ": " << LastError();
    EXPECT_EQ(Value(guard + 1, q.width), q.expected) << q.name;
    EXPECT_EQ(guard[0], 0xEE) << q.name;
    for (std::size_t i = 1 + q.width; i < sizeof guard; ++i) EXPECT_EQ(guard[i], 0xEE) << q.name << " byte " << i;
  }
}

TEST_F(SimOutValues, FailingCallsWriteNothingAndSayWhy) {
  const Objects good = OpenChip();
  const Objects bad{0x0BAD, 0x0BAD, 0x0BAD};
  for (const Query& q : Queries()) {
    std::uint8_t guard[8];
    std::memset(guard, 0xEE, sizeof guard);
    EXPECT_EQ(q.call(bad, guard), 0) << q.name;
    EXPECT_EQ(Value(guard, 4), 0xEEEEEEEEu) << q.name;
    const std::string error = LastError();
    EXPECT_NE(error.find("0x00000BAD"), std::string::npos) << q.name << ": " << error;
    EXPECT_NE(error.find("Invalid"), std::string::npos) << q.name << ": " << error;
    EXPECT_EQ(q.call(good, nullptr), 0) << q.name;
    EXPECT_EQ(LastError().rfind("Null pointer argument (argument ", 0), 0u) << q.name;
  }
}

TEST_F(SimOutValues, NullPointersAreNamedByPosition) {
  const Objects o = OpenChip();
  std::uint32_t u32 = 0;
  std::int32_t i32 = 0;
  std::uint8_t u8 = 0;
  struct Case {
    const char* name;
    std::function<drav::BOOL32()> call;
    int position;
  };
  const auto& api = Api();
  const Case cases[] = {
      {"DLL version high", [&] { return api.DravUsbGetDLLVersion(nullptr, &u32); }, 1},
      {"DLL version low", [&] { return api.DravUsbGetDLLVersion(&u32, nullptr); }, 2},
      {"driver version low", [&] { return api.DravUsbGetDriverVersion(&u32, nullptr); }, 2},
      {"device count", [&] { return api.DravUsbDeviceCount(nullptr); }, 1},
      {"counter ticks", [&] { return api.DravCounterGet(o.flash, &i32, nullptr, &u8, &i32); }, 3},
      {"counter time-out", [&] { return api.DravCounterGet(o.flash, &i32, &u32, &u8, nullptr); }, 5},
      {"blank", [&] { return api.DravFlashBlank(o.flash, nullptr); }, 2},
      {"read buffer", [&] { return api.DravFlashRead(o.flash, 0, nullptr, 1); }, 3},
      {"write buffer", [&] { return api.DravFlashWrite(o.flash, 0, nullptr, kBlock); }, 3},
      {"full name", [&] { return api.DravDevGetFullName(o.device, 0xC3A1, nullptr, 100); }, 3},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.call(), 0) << c.name;
    EXPECT_EQ(LastError(), "Null pointer argument (argument " + std::to_string(c.position) + ")") << c.name;
  }
}

TEST_F(SimOutValues, NamesAreTerminatedAndCutToTheBuffer) {
  const Objects o = OpenChip();
  const std::string full = "VK9N1G08 1 Gbit NAND";
  const std::string maker = "Veltrane";
  for (std::uint32_t size : {1u, 5u, static_cast<std::uint32_t>(full.size() + 1), 512u}) {
    std::vector<char> buffer(size + 4, '#');
    ASSERT_EQ(Api().DravDevGetFullName(o.device, 0xC3A1, buffer.data(), size), 1) << size;
    EXPECT_EQ(std::string(buffer.data()), full.substr(0, size - 1)) << size;
    EXPECT_EQ(std::string(buffer.data() + size, 4), "####") << size;
    std::fill(buffer.begin(), buffer.end(), '#');
    ASSERT_EQ(Api().DravDevGetProdName(o.device, 0xC3A1, buffer.data(), size), 1) << size;
    EXPECT_EQ(std::string(buffer.data()), maker.substr(0, size - 1)) << size;
  }
  char name[100];
  EXPECT_EQ(Api().DravDevGetFullName(o.device, 0x1234, name, sizeof name), 0);
  EXPECT_EQ(LastError(), "Unknown flash ID 0x1234");
  EXPECT_EQ(Api().DravDevGetProdName(o.device, 0xC3A1, name, 0), 0);
}

TEST_F(SimOutValues, TextsWithoutNulFillTheWholeBuffer) {
  const Objects o = OpenChip();
  Api().DravUsbClose(0x77);  // an error to tell
  Sim().SimCtl_Misbehave(kSimTextsWithoutNul);
  std::vector<char> name(100 + 4, '#');
  ASSERT_EQ(Api().DravDevGetFullName(o.device, 0xC3A1, name.data(), 100), 1);
  EXPECT_EQ(std::memchr(name.data(), '\0', 100), nullptr);
  EXPECT_EQ(std::string(name.data(), 20), "VK9N1G08 1 Gbit NAND");
  EXPECT_EQ(std::string(name.data() + 100, 4), "####");
  std::vector<char> error(40 + 4, '#');
  ASSERT_EQ(Api().DravGetLastError(error.data(), 40), 1);
  EXPECT_EQ(std::memchr(error.data(), '\0', 40), nullptr);
  EXPECT_EQ(std::string(error.data(), 18), "Invalid USB handle");
  EXPECT_EQ(std::string(error.data() + 40, 4), "####");
}

TEST_F(SimOutValues, SkippedOutValuesStillSucceed) {
  const Objects o = OpenChip();
  Sim().SimCtl_Misbehave(kSimSkipOutValues);
  for (const Query& q : Queries()) {
    std::uint8_t guard[4];
    std::memset(guard, 0xEE, sizeof guard);
    EXPECT_EQ(q.call(o, guard), 1) << q.name;
    EXPECT_EQ(Value(guard, 4), 0xEEEEEEEEu) << q.name;
  }
  char name[100];
  std::memset(name, '#', sizeof name);
  EXPECT_EQ(Api().DravDevGetFullName(o.device, 0xC3A1, name, sizeof name), 1);
  EXPECT_EQ(name[0], '#');
  std::uint32_t blank = 0;
  EXPECT_EQ(Api().DravFlashBlank(o.flash, &blank), 1);
  EXPECT_EQ(blank, 0u);
}

}  // namespace
}  // namespace selvarex::test
