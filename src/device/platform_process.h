// The platform's process, pipe and shared-memory calls, for the library host:
// the program starts the host with a private two-way channel and a shared
// buffer that only the two processes hold. With platform_loader.cpp, this
// pair of files is the only place that knows the operating system.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "device/platform_loader.h"

namespace selvarex::platform {

// The console of a program run in one (the command line's).
// Whether standard error goes to a terminal (a console on Windows).
bool StandardErrorIsTerminal();
// From now on Ctrl+C (and Ctrl+Break on Windows) only counts the first time,
// so that a run can stop after its block; a second one ends the program at
// once, as the system would have ended it.
void CountInterrupts();
bool Interrupted();
// The program's arguments as UTF-8 (on Windows, from the wide-character
// command line, so any file name arrives whole).
std::vector<std::string> Utf8Arguments(int argc, char** argv);
// UTF-8 written to the console shows as such (Windows: the console's output
// code page, set back when the program ends).
void UseUtf8Console();

// The running program's executable file.
std::filesystem::path ExecutablePath();
// "selvarex-libhost.exe" on Windows, "selvarex-libhost" elsewhere.
const char* HostProgramName();

// Tells the processor that this thread is watching memory another changes.
void CpuRelax();

// How a process ended.
struct ExitStatus {
  bool signalled = false;  // ended by a signal (POSIX): code is the signal number
  std::uint32_t code = 0;
};

// One end of the channel, readable and writable; blocking calls that return
// false once the other process is gone or the channel is broken.
class Channel {
 public:
  virtual ~Channel() = default;
  virtual bool ReadExact(void* data, std::size_t size) = 0;
  virtual bool WriteAll(const void* data, std::size_t size) = 0;
  // Waits until something can be read (or the channel broke); false when
  // the time ran out first.
  virtual bool WaitReadable(std::chrono::milliseconds limit) = 0;
  // What was just written will be answered in about `expected`: a channel
  // that watches for answers before it sleeps watches that long, so that the
  // answer finds the reader awake (waking a sleeping reader costs both sides
  // more than a short call). By default nothing.
  virtual void ExpectAnswerIn(std::chrono::microseconds expected) { (void)expected; }
  // The shared buffer both processes map, and its size.
  virtual std::uint8_t* Shared() = 0;
  virtual std::uint32_t SharedSize() const = 0;
};

// A channel over a connected local socket (a pipe handle on Windows) opened
// elsewhere; it is closed with the channel. It has no shared buffer.
std::unique_ptr<Channel> ChannelOver(std::intptr_t osHandle);

// The program's side: a started host process and its channel.
class ChildProcess : public Channel {
 public:
  // Starts program in the current working directory. Null on failure, with
  // the system's error in error.
  static std::unique_ptr<ChildProcess> Start(const std::filesystem::path& program, std::uint32_t sharedBytes,
                                             OsError& error);
  // The shared buffer, mapped for as long as anyone holds the pointer, even
  // after the process and this object have gone.
  virtual std::shared_ptr<std::uint8_t> KeepShared() = 0;
  // Ends the channel: the host reads end-of-stream.
  virtual void CloseChannel() = 0;
  // The exit status once the process has ended within the limit.
  virtual std::optional<ExitStatus> WaitForExit(std::chrono::milliseconds limit) = 0;
  // Ends the process at once and waits for it.
  virtual ExitStatus Kill() = 0;
};

// The host's side: the channel its parent handed over on the command line.
class ParentChannel : public Channel {
 public:
  // Null when the arguments do not name a channel this process holds.
  static std::unique_ptr<ParentChannel> FromArguments(int argc, char** argv);
};

}  // namespace selvarex::platform
