// The library loaded in a host process of its own: the host is started in the
// working directory, loads ./Dravolin.dll there and answers every call. A
// host that dies, or breaks the protocol, ends the session: the call that was
// running fails with ELibraryHostStopped and the library counts as unloaded.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "device/call_channel.h"
#include "device/dravolin_api.h"
#include "device/platform_process.h"

namespace selvarex {

class HostSession {
 public:
  // Starts the host and has it load the library: ./Dravolin.dll in the
  // working directory, or the file libraryFile names. Throws what loading threw
  // in the host (the missing-file Exception, EOSError), an Exception when
  // the host cannot be started, ELibraryHostStopped when it stops. On
  // success `exports` has a bit set for each entry point the library has.
  static std::unique_ptr<HostSession> Open(std::uint64_t& exports, const std::string& libraryFile = "");
  ~HostSession();
  HostSession(const HostSession&) = delete;
  HostSession& operator=(const HostSession&) = delete;

  // Frees the library in the host, then ends the host. EOSError when the
  // library cannot be freed: it then stays loaded and the host goes on.
  void Free();

  // While the program closes, a call the host does not answer within the
  // limit ends the host: nothing may keep the program from ending.
  void LimitCalls(bool closing) { closing_ = closing; }

  // The shared buffer's transfer part (host::kTransferBytes): a buffer the
  // caller works in, which the host's library reads and writes in place.
  // It stays mapped while the pointer is held, after the session too.
  std::shared_ptr<std::uint8_t> TransferBuffer() {
    return std::shared_ptr<std::uint8_t>(child_->KeepShared(), child_->Shared() + host::kMaxBufferBytes);
  }

  // True until the host has ended, or the session has broken.
  bool Serving() const { return serving_; }
  // Called once when the session breaks during a call, before the error is
  // thrown: the owner forgets the library.
  void SetOnLost(std::function<void()> onLost) { onLost_ = std::move(onLost); }

  // The session the entry table's references call through; throws
  // ELibraryHostStopped when there is none (the library was unloaded).
  static HostSession& Active(drav::Entry entry);
  // One call: sends it and returns the reply whose out-values the caller
  // checks and writes.
  host::Reply Call(drav::Entry entry, const host::Request& request, const std::uint8_t* send, std::uint8_t* receive);
  // The caller found the reply malformed: ends the session and throws.
  [[noreturn]] void Malformed(drav::Entry entry, const std::string& reason);

  // Where the host is looked for: beside the program's executable.
  static std::filesystem::path HostFile();
  // The same, as the messages show it.
  static std::string HostPath();

 private:
  explicit HostSession(std::unique_ptr<platform::ChildProcess> child);
  // Ends the host: closes the channel, waits a moment, then kills it.
  void End();
  // The session broke during `during`: the host is ended and the error thrown.
  [[noreturn]] void Lost(const std::string& during, const host::ChannelFailure& failure,
                         const std::string& consequence);

  std::unique_ptr<platform::ChildProcess> child_;
  host::CallChannel channel_;
  bool serving_ = true;
  bool closing_ = false;
  std::function<void()> onLost_;
};

}  // namespace selvarex
