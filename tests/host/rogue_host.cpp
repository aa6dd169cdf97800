// A library host that breaks one of its replies as SELVAREX_ROGUE_HOST says:
// "<n>:<how>", the nth reply (1 = the load's), spoilt in one of the ways
// listed below. Otherwise it is the real host.
#include <cstdlib>
#include <cstring>
#include <string>

#include "device/dravolin_library.h"
#include "device/host_protocol.h"
#include "device/platform_process.h"
#include "libhost/library_server.h"

namespace {

using selvarex::host::kReplyBytes;

void Put32(std::uint8_t* at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) at[i] = static_cast<std::uint8_t>(value >> (8 * i));
}
std::uint32_t Get32(const std::uint8_t* at) {
  return at[0] | (std::uint32_t{at[1]} << 8) | (std::uint32_t{at[2]} << 16) | (std::uint32_t{at[3]} << 24);
}

// Offsets of the reply's fields.
constexpr std::size_t kKind = 4, kFirstOut = 12, kPayload = 36, kExports = 40;

class RogueChannel final : public selvarex::platform::Channel {
 public:
  RogueChannel(selvarex::platform::Channel& inner, int target, std::string how)
      : inner_(inner), target_(target), how_(std::move(how)) {}

  bool ReadExact(void* data, std::size_t size) override { return inner_.ReadExact(data, size); }
  bool WaitReadable(std::chrono::milliseconds limit) override { return inner_.WaitReadable(limit); }
  std::uint8_t* Shared() override { return inner_.Shared(); }
  std::uint32_t SharedSize() const override { return inner_.SharedSize(); }

  bool WriteAll(const void* data, std::size_t size) override {
    if (size != kReplyBytes || ++replies_ != target_) return inner_.WriteAll(data, size);
    std::uint8_t reply[kReplyBytes];
    std::memcpy(reply, data, size);
    if (how_ == "garbage") std::memset(reply, 0xA5, sizeof reply);
    if (how_ == "oversized") Put32(reply + kPayload, selvarex::host::kMaxBufferBytes + 1);
    if (how_ == "extra-exports") reply[kExports + 4] |= 0x10;
    if (how_ == "wrong-kind") reply[kKind] = static_cast<std::uint8_t>(selvarex::host::ReplyKind::Freed);
    if (how_ == "wide-out") Put32(reply + kFirstOut + 4, 0x1FF);
    if (how_ == "short-buffer") Put32(reply + kPayload, Get32(reply + kPayload) - 1);
    if (how_ == "truncate") {
      inner_.WriteAll(reply, 20);
      std::_Exit(7);
    }
    return inner_.WriteAll(reply, sizeof reply);
  }

 private:
  selvarex::platform::Channel& inner_;
  int target_;
  std::string how_;
  int replies_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
  auto channel = selvarex::platform::ParentChannel::FromArguments(argc, argv);
  if (channel == nullptr) return 2;
  const char* setting = std::getenv("SELVAREX_ROGUE_HOST");
  const std::string rule = setting != nullptr ? setting : "0:";
  RogueChannel rogue(*channel, std::atoi(rule.c_str()), rule.substr(rule.find(':') + 1));
  selvarex::DravolinLibrary library(selvarex::DravolinLibrary::Binding::InProcess);
  return selvarex::ServeLibrary(rogue, &library);
}
