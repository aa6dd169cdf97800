#include "device/shared_ring.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <thread>

#include "device/platform_process.h"

namespace selvarex::platform {

namespace {

// Every counter and flag on a cache line of its own. Stream 0 runs from the
// program to the host, stream 1 back; a stream's head counts the bytes its
// writer has put in, its tail those its reader has taken out (both wrap).
// A side sets a flag before it sleeps, for the other stream's bytes or for
// room in its own, and the other side rings only a side whose flag is set.
constexpr std::uint32_t kLine = 64;
constexpr std::uint32_t Head(int stream) { return (2 * stream) * kLine; }
constexpr std::uint32_t Tail(int stream) { return (2 * stream + 1) * kLine; }
constexpr std::uint32_t WaitsData(int side) { return (4 + side) * kLine; }
constexpr std::uint32_t WaitsRoom(int side) { return (6 + side) * kLine; }
constexpr std::uint32_t Data(int stream) { return 8 * kLine + stream * SharedRing::kStreamBytes; }
static_assert(Data(2) == kSharedRingBytes);
static_assert(std::atomic_ref<std::uint32_t>::is_always_lock_free, "the two processes share the counters");

constexpr std::uint32_t kMask = SharedRing::kStreamBytes - 1;
static_assert((SharedRing::kStreamBytes & kMask) == 0, "a power of two, so the counters may wrap");

// Every access to the counters and flags is sequentially consistent: a side
// sets its flag and then looks at the counter, the other moves the counter
// and then looks at the flag, so one of them always sees the other.
std::atomic_ref<std::uint32_t> At(std::uint8_t* area, std::uint32_t offset) {
  return std::atomic_ref<std::uint32_t>(*reinterpret_cast<std::uint32_t*>(area + offset));
}

}  // namespace

SharedRing::SharedRing(std::uint8_t* area, bool program, Doorbell& bell, std::chrono::microseconds watch, bool yielding)
    : area_(area), bell_(bell), watch_(watch), yielding_(yielding) {
  const int self = program ? 0 : 1;
  const int other = 1 - self;
  outHead_ = Head(self);
  outTail_ = Tail(self);
  outData_ = Data(self);
  inHead_ = Head(other);
  inTail_ = Tail(other);
  inData_ = Data(other);
  waitsData_ = WaitsData(self);
  waitsRoom_ = WaitsRoom(self);
  otherWaitsData_ = WaitsData(other);
  otherWaitsRoom_ = WaitsRoom(other);
}

// The other process can write any counter: what they say is kept within one
// stream, so that no copy ever leaves the streams.
std::uint32_t SharedRing::Readable() {
  return std::min(At(area_, inHead_).load() - At(area_, inTail_).load(), kStreamBytes);
}

std::uint32_t SharedRing::Writable() {
  return std::min(kStreamBytes - (At(area_, outHead_).load() - At(area_, outTail_).load()), kStreamBytes);
}

template <typename Ready>
SharedRing::Wait SharedRing::Await(Ready ready, std::uint32_t flag, std::chrono::microseconds watch,
                                   std::optional<std::chrono::nanoseconds> limit) {
  const auto start = std::chrono::steady_clock::now();
  if (watch.count() > 0) {
    for (unsigned looks = 1;; ++looks) {
      if (ready()) return Wait::Ready;
      CpuRelax();
      // Now and then the clock, and perhaps the core to a thread that wants it.
      if (looks % 64 == 0) {
        if (std::chrono::steady_clock::now() - start >= watch) break;
        if (yielding_) std::this_thread::yield();
      }
    }
  }
  for (;;) {
    At(area_, flag).store(1);
    if (ready()) {
      At(area_, flag).store(0);
      return Wait::Ready;
    }
    std::optional<std::chrono::nanoseconds> left;
    if (limit) left = std::max(std::chrono::nanoseconds::zero(), *limit - (std::chrono::steady_clock::now() - start));
    const Doorbell::Woken woken = bell_.Sleep(left);
    At(area_, flag).store(0);
    // What the other side wrote before it went is still there to read.
    if (ready()) return Wait::Ready;
    if (woken == Doorbell::Woken::Gone) return Wait::Gone;
    if (woken == Doorbell::Woken::TimedOut) return Wait::TimedOut;
  }
}

bool SharedRing::Read(void* data, std::size_t size) {
  auto* to = static_cast<std::uint8_t*>(data);
  std::chrono::microseconds watch = nextWatch_.value_or(watch_);
  nextWatch_.reset();
  while (size > 0) {
    const std::uint32_t ready = Readable();
    if (ready == 0) {
      if (Await([this] { return Readable() > 0; }, waitsData_, watch, std::nullopt) != Wait::Ready) return false;
      watch = watch_;
      continue;
    }
    const std::uint32_t tail = At(area_, inTail_).load();
    const auto part = static_cast<std::uint32_t>(std::min<std::size_t>(ready, size));
    const std::uint32_t at = tail & kMask;
    const std::uint32_t first = std::min(part, kStreamBytes - at);
    std::memcpy(to, area_ + inData_ + at, first);
    std::memcpy(to + first, area_ + inData_, part - first);
    At(area_, inTail_).store(tail + part);
    // A writer that waits for room may go on; one that is gone needs none.
    if (At(area_, otherWaitsRoom_).load() != 0) bell_.Ring();
    to += part;
    size -= part;
  }
  return true;
}

bool SharedRing::Write(const void* data, std::size_t size) {
  const auto* from = static_cast<const std::uint8_t*>(data);
  while (size > 0) {
    const std::uint32_t room = Writable();
    if (room == 0) {
      if (Await([this] { return Writable() > 0; }, waitsRoom_, watch_, std::nullopt) != Wait::Ready) return false;
      continue;
    }
    const std::uint32_t head = At(area_, outHead_).load();
    const auto part = static_cast<std::uint32_t>(std::min<std::size_t>(room, size));
    const std::uint32_t at = head & kMask;
    const std::uint32_t first = std::min(part, kStreamBytes - at);
    std::memcpy(area_ + outData_ + at, from, first);
    std::memcpy(area_ + outData_, from + first, part - first);
    At(area_, outHead_).store(head + part);
    if (At(area_, otherWaitsData_).load() != 0 && !bell_.Ring()) return false;
    from += part;
    size -= part;
  }
  return true;
}

bool SharedRing::WaitReadable(std::chrono::milliseconds limit) {
  return Await([this] { return Readable() > 0; }, waitsData_, std::chrono::microseconds::zero(), limit) !=
         Wait::TimedOut;
}

}  // namespace selvarex::platform
