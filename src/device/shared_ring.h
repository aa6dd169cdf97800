// The channel between the program and its library host as two byte streams
// in memory both processes map, one each way, with the channel's pipe as a
// doorbell. A reader that finds nothing watches the memory for a moment and
// only then sleeps on the doorbell; a writer rings only a reader that sleeps.
// So while both sides are awake a message costs no system call: on a busy
// machine the four of a pipe's round trip cost more than a short library
// call.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace selvarex::platform {

// What the streams need of the system: waking the other side, and sleeping
// until it rings or is gone.
class Doorbell {
 public:
  enum class Woken { Rang, TimedOut, Gone };
  virtual ~Doorbell() = default;
  // Wakes the other side. False once it is gone.
  virtual bool Ring() = 0;
  // Sleeps until the other side rings or has gone, or the limit has passed
  // (none: no limit). A ring that came while nobody slept ends the next
  // sleep at once.
  virtual Woken Sleep(std::optional<std::chrono::nanoseconds> limit) = 0;
};

// One side's end of the two streams in `area` (kSharedRingBytes, zeroed by
// whoever made it, aligned to 64 bytes). The program and the host each
// construct theirs over the same bytes, with `program` telling them apart.
// A side watches `watch` before it sleeps; one that watches long lets other
// threads have its core now and then (`yielding`).
class SharedRing {
 public:
  static constexpr std::uint32_t kStreamBytes = 16384;

  SharedRing(std::uint8_t* area, bool program, Doorbell& bell, std::chrono::microseconds watch, bool yielding);

  // False when the other side went away first (the bytes it had written are
  // still read).
  bool Read(void* data, std::size_t size);
  bool Write(const void* data, std::size_t size);
  // True once something can be read or the other side has gone (the read
  // then says so); false when the limit passed first.
  bool WaitReadable(std::chrono::milliseconds limit);
  // The next read that has to wait watches this long instead of `watch`.
  void WatchNextRead(std::chrono::microseconds watch) { nextWatch_ = watch; }

 private:
  enum class Wait { Ready, TimedOut, Gone };
  // Watches for `watch`, then sleeps with `flag` set, until ready() holds,
  // the other side has gone or the limit has passed.
  template <typename Ready>
  Wait Await(Ready ready, std::uint32_t flag, std::chrono::microseconds watch,
             std::optional<std::chrono::nanoseconds> limit);
  std::uint32_t Readable();
  std::uint32_t Writable();

  std::uint8_t* area_;
  Doorbell& bell_;
  std::chrono::microseconds watch_;
  bool yielding_;
  std::optional<std::chrono::microseconds> nextWatch_;
  // Offsets in area_ of what this side uses: the stream it writes (out) and
  // the one it reads (in), its own flags and the other side's.
  std::uint32_t outHead_, outTail_, outData_, inHead_, inTail_, inData_;
  std::uint32_t waitsData_, waitsRoom_, otherWaitsData_, otherWaitsRoom_;
};

// The bytes SharedRing needs: the streams' counters, the sleep flags, the data.
constexpr std::uint32_t kSharedRingBytes = 8 * 64 + 2 * SharedRing::kStreamBytes;

}  // namespace selvarex::platform
