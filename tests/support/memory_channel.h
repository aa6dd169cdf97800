// Test support: a channel over bytes in memory, so both sides of the library
// host's protocol can be fed exactly the bytes a test or fuzzer chooses.
#pragma once

#include <algorithm>
#include <cstring>
#include <vector>

#include "device/platform_process.h"

namespace selvarex::test {

class MemoryChannel : public platform::Channel {
 public:
  // What the other side sends; sharedSize > 0 gives the channel a shared buffer.
  explicit MemoryChannel(std::vector<std::uint8_t> incoming = {}, std::uint32_t sharedSize = 0)
      : incoming_(std::move(incoming)), shared_(sharedSize) {}

  bool ReadExact(void* data, std::size_t size) override {
    // The other side answers once it has the request: its bytes land in the
    // shared buffer before the reply is read.
    if (!sharedReply.empty()) {
      std::memcpy(shared_.data(), sharedReply.data(), std::min(sharedReply.size(), shared_.size()));
      sharedReply.clear();
    }
    if (incoming_.size() - read_ < size) {
      read_ = incoming_.size();
      return false;
    }
    std::memcpy(data, incoming_.data() + read_, size);
    read_ += size;
    return true;
  }
  bool WriteAll(const void* data, std::size_t size) override {
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    written.insert(written.end(), bytes, bytes + size);
    return true;
  }
  bool WaitReadable(std::chrono::milliseconds) override { return read_ < incoming_.size(); }
  void ExpectAnswerIn(std::chrono::microseconds) override { ++answersExpected; }
  std::uint8_t* Shared() override { return shared_.empty() ? nullptr : shared_.data(); }
  std::uint32_t SharedSize() const override { return static_cast<std::uint32_t>(shared_.size()); }

  void Append(const std::uint8_t* data, std::size_t size) { incoming_.insert(incoming_.end(), data, data + size); }
  template <typename Bytes>
  void Append(const Bytes& bytes) {
    Append(bytes.data(), bytes.size());
  }

  std::vector<std::uint8_t> written;      // everything this side sent
  std::vector<std::uint8_t> sharedReply;  // what the other side puts in the shared buffer
  int answersExpected = 0;                // how often this side said when it expects an answer

 private:
  std::vector<std::uint8_t> incoming_;
  std::size_t read_ = 0;
  std::vector<std::uint8_t> shared_;
};

}  // namespace selvarex::test
