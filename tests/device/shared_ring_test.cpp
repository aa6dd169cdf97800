// The shared streams between the program and its host, with the two sides on
// two threads and a doorbell of the test's own: every byte arrives in order
// whatever the sizes, no wake-up is lost whether a side watches or sleeps,
// and a side that has gone ends the other's wait.
#include <gtest/gtest.h>

#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <numeric>
#include <random>
#include <thread>
#include <vector>

#include "device/shared_ring.h"

namespace selvarex::platform {
namespace {

using namespace std::chrono_literals;

// Two doorbells that ring each other, as a socket pair does. A sleep without
// a limit that nothing ends within a minute counts as a lost wake-up.
class Bells {
 public:
  class Bell : public Doorbell {
   public:
    Bell(Bells& bells, int side) : bells_(bells), side_(side) {}
    bool Ring() override {
      std::lock_guard lock(bells_.mutex_);
      if (bells_.gone_[1 - side_]) return false;
      ++bells_.rings_[1 - side_];
      bells_.changed_.notify_all();
      return true;
    }
    Woken Sleep(std::optional<std::chrono::nanoseconds> limit) override {
      std::unique_lock lock(bells_.mutex_);
      const auto woken = [&] { return bells_.rings_[side_] > 0 || bells_.gone_[1 - side_]; };
      if (limit) {
        if (!bells_.changed_.wait_for(lock, *limit, woken)) return Woken::TimedOut;
      } else if (!bells_.changed_.wait_for(lock, 60s, woken)) {
        bells_.lost_ = true;
        return Woken::Gone;
      }
      if (bells_.rings_[side_] == 0) return Woken::Gone;
      bells_.rings_[side_] = 0;
      return Woken::Rang;
    }

   private:
    Bells& bells_;
    int side_;
  };

  void Leave(int side) {
    std::lock_guard lock(mutex_);
    gone_[side] = true;
    changed_.notify_all();
  }
  bool LostAWakeUp() {
    std::lock_guard lock(mutex_);
    return lost_;
  }

  Bell program{*this, 0};
  Bell host{*this, 1};

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  int rings_[2] = {0, 0};
  bool gone_[2] = {false, false};
  bool lost_ = false;
};

struct Area {
  Area() : bytes(kSharedRingBytes + 64) {}
  std::uint8_t* At() {
    const auto address = reinterpret_cast<std::uintptr_t>(bytes.data());
    return bytes.data() + (64 - address % 64) % 64;
  }
  std::vector<std::uint8_t> bytes;
};

// How long each side watches before it sleeps: never (every wait sleeps),
// and long enough that most waits end watching.
struct Watching {
  std::chrono::microseconds program;
  std::chrono::microseconds host;
};
class SharedRingTest : public testing::TestWithParam<Watching> {};

TEST_P(SharedRingTest, EveryByteArrivesInOrderWhateverTheSizes) {
  Area area;
  Bells bells;
  SharedRing program(area.At(), true, bells.program, GetParam().program, true);
  SharedRing host(area.At(), false, bells.host, GetParam().host, false);
  // Pieces from one byte to several times a stream, written and read in
  // pieces of other sizes, so the streams wrap and fill up.
  std::vector<std::uint8_t> sent(3 * 1024 * 1024);
  std::iota(sent.begin(), sent.end(), std::uint8_t{7});
  std::vector<std::uint8_t> received(sent.size());
  std::thread writer([&] {
    std::mt19937 pieces(1);
    for (std::size_t at = 0; at < sent.size();) {
      const std::size_t size = std::min<std::size_t>(sent.size() - at, 1 + pieces() % (3 * SharedRing::kStreamBytes));
      ASSERT_TRUE(program.Write(sent.data() + at, size));
      at += size;
    }
  });
  std::mt19937 pieces(2);
  for (std::size_t at = 0; at < received.size();) {
    const std::size_t size = std::min<std::size_t>(received.size() - at, 1 + pieces() % 5000);
    ASSERT_TRUE(host.Read(received.data() + at, size));
    at += size;
  }
  writer.join();
  EXPECT_TRUE(received == sent);
  EXPECT_FALSE(bells.LostAWakeUp());
}

TEST_P(SharedRingTest, RequestsAndRepliesNeverWaitForAWakeUpThatWasLost) {
  Area area;
  Bells bells;
  SharedRing program(area.At(), true, bells.program, GetParam().program, true);
  SharedRing host(area.At(), false, bells.host, GetParam().host, false);
  constexpr std::uint32_t kCalls = 20000;
  std::thread server([&] {
    for (std::uint32_t call = 0; call < kCalls; ++call) {
      std::uint32_t request = 0;
      if (!host.Read(&request, sizeof request)) return;
      const std::uint32_t reply = request * 3;
      if (!host.Write(&reply, sizeof reply)) return;
    }
  });
  std::uint32_t wrong = 0;
  for (std::uint32_t call = 0; call < kCalls; ++call) {
    std::uint32_t reply = 0;
    ASSERT_TRUE(program.Write(&call, sizeof call));
    ASSERT_TRUE(program.Read(&reply, sizeof reply));
    wrong += reply != call * 3;
  }
  server.join();
  EXPECT_EQ(wrong, 0u);
  EXPECT_FALSE(bells.LostAWakeUp());
}

INSTANTIATE_TEST_SUITE_P(Watching, SharedRingTest,
                         testing::Values(Watching{0us, 0us}, Watching{0us, 200us}, Watching{200us, 200us}),
                         [](const auto& info) {
                           return "program" + std::to_string(info.param.program.count()) + "us_host" +
                                  std::to_string(info.param.host.count()) + "us";
                         });

TEST(SharedRing, ASideThatHasGoneEndsTheOthersWaitAfterWhatItWrote) {
  Area area;
  Bells bells;
  SharedRing program(area.At(), true, bells.program, 0us, true);
  SharedRing host(area.At(), false, bells.host, 0us, false);
  ASSERT_TRUE(host.Write("last", 4));
  bells.Leave(1);
  char got[4] = {};
  ASSERT_TRUE(program.Read(got, 4)) << "what it wrote before it went";
  EXPECT_EQ(std::string(got, 4), "last");
  EXPECT_TRUE(program.WaitReadable(0ms)) << "a side that has gone counts as readable: the read says the rest";
  EXPECT_FALSE(program.Read(got, 1));
  // A full stream to a reader that has gone: the writer does not wait forever.
  std::vector<std::uint8_t> more(2 * SharedRing::kStreamBytes);
  EXPECT_FALSE(program.Write(more.data(), more.size()));
  EXPECT_FALSE(bells.LostAWakeUp());
}

TEST(SharedRing, CountersTheOtherSideSpoiledMoveNoByteOutsideTheStreams) {
  // The host is another process and may write anything into the counters.
  constexpr std::size_t kGuard = 4096;
  std::vector<std::uint8_t> bytes(kGuard + kSharedRingBytes + kGuard, 0xA5);
  std::uint8_t* const area = bytes.data() + kGuard;
  std::mt19937 garbage(3);
  constexpr std::uint32_t kControl = kSharedRingBytes - 2 * SharedRing::kStreamBytes;
  for (std::uint32_t at = 0; at < kControl; ++at) area[at] = static_cast<std::uint8_t>(garbage());
  Bells bells;
  SharedRing program(area, true, bells.program, 0us, true);
  std::vector<std::uint8_t> buffer(3 * SharedRing::kStreamBytes);
  EXPECT_TRUE(program.Read(buffer.data(), buffer.size()));
  EXPECT_TRUE(program.Write(buffer.data(), buffer.size()));
  const auto untouched = [](auto first, auto last) {
    return std::all_of(first, last, [](auto b) { return b == 0xA5; });
  };
  EXPECT_TRUE(untouched(bytes.begin(), bytes.begin() + kGuard));
  EXPECT_TRUE(untouched(bytes.end() - kGuard, bytes.end()));
}

TEST(SharedRing, WaitingForSomethingToReadEndsAtItsLimit) {
  Area area;
  Bells bells;
  SharedRing program(area.At(), true, bells.program, 0us, true);
  SharedRing host(area.At(), false, bells.host, 0us, false);
  EXPECT_FALSE(program.WaitReadable(1ms));
  ASSERT_TRUE(host.Write("x", 1));
  EXPECT_TRUE(program.WaitReadable(0ms));
  char got = 0;
  ASSERT_TRUE(program.Read(&got, 1));
  EXPECT_EQ(got, 'x');
}

}  // namespace
}  // namespace selvarex::platform
