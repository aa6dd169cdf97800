#include "sim_fixture.h"

#include <cstring>

namespace selvarex::test {

SimTest::SimTest(const std::string& variant) : dir_(variant) {
  library_.Load();
  sim_ = std::make_unique<SimControl>();
  sim_->SimCtl_Reset();
  sim_->SimCtl_SetTiming(0);
}

SimTest::~SimTest() {
  sim_.reset();
  library_.Unload();
}

std::string SimTest::LastError() {
  char text[drav::kLastErrorBufferSize] = {};
  if (Api().DravGetLastError(text, sizeof text) == 0) return "<none>";
  return std::string(text, strnlen(text, sizeof text));
}

SimTest::Objects SimTest::OpenChip(std::uint32_t chip) {
  Objects o;
  o.usb = Api().DravUsbOpen();
  EXPECT_NE(o.usb, 0u);
  EXPECT_EQ(Api().DravUsbSelectFlash(o.usb, chip), 1);
  o.device = Api().DravDevCreate();
  std::uint16_t id = 0;
  EXPECT_EQ(Api().DravDevGetFlashID(o.device, o.usb, &id), 1);
  o.flash = Api().DravDevCreateFlash(o.device, o.usb, id);
  return o;
}

std::vector<std::uint8_t> SimTest::Read(drav::Handle flash, std::uint32_t address, std::uint32_t length) {
  std::vector<std::uint8_t> bytes(length);
  EXPECT_EQ(Api().DravFlashRead(flash, address, bytes.data(), length), 1) << LastError();
  return bytes;
}

}  // namespace selvarex::test
