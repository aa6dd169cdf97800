#include "device/host_session.h"

#include <chrono>
#include <cstdio>

#include "device/errors.h"

namespace selvarex {

namespace {

using namespace std::chrono_literals;

// A host that has been told to end gets this long before it is killed.
constexpr auto kExitGrace = 3000ms;
// Freeing the library, and every call while the program closes, get this
// long: a host that hangs must not keep the window from closing.
constexpr auto kClosingLimit = 5000ms;

HostSession* activeSession = nullptr;

std::string StatusText(const platform::ExitStatus& status) {
  if (status.signalled) return "killed by signal " + std::to_string(status.code);
  // Windows reports crashes as NTSTATUS codes, which read best in hex.
  if (status.code >= 0x10000) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(status.code));
    return std::string("exit code ") + text;
  }
  return "exit code " + std::to_string(status.code);
}

std::string During(drav::Entry entry) { return std::string("during ") + drav::EntryName(entry); }
// "did not answer <entry>" reads without "during".
std::string Unanswered(const std::string& during) {
  return during.rfind("during ", 0) == 0 ? during.substr(7) : during;
}

}  // namespace

std::filesystem::path HostSession::HostFile() {
  return platform::ExecutablePath().parent_path() / platform::HostProgramName();
}

std::string HostSession::HostPath() {
  const std::filesystem::path path = HostFile();
  try {
    return path.string();
  } catch (const std::exception&) {
    // A name the local code page cannot spell.
    const std::u8string utf8 = path.u8string();
    return std::string(utf8.begin(), utf8.end());
  }
}

HostSession::HostSession(std::unique_ptr<platform::ChildProcess> child) : child_(std::move(child)), channel_(*child_) {}

HostSession::~HostSession() {
  if (serving_) End();
}

std::unique_ptr<HostSession> HostSession::Open(std::uint64_t& exports, const std::string& libraryFile) {
  // The entry table's references reach one session; a second library host
  // in the same program would have none to reach.
  if (activeSession != nullptr)
    throw Exception("The device library is already loaded through its host in this program.");
  platform::OsError error;
  auto child = platform::ChildProcess::Start(HostFile(), host::kSharedBytes, error);
  if (child == nullptr)
    throw Exception("The device library host " + HostPath() +
                    " cannot be started: " + OsErrorMessage(error.code, error.text));
  std::unique_ptr<HostSession> session(new HostSession(std::move(child)));

  host::Request load;
  load.kind = host::RequestKind::Load;
  if (libraryFile.size() > host::kMaxTextBytes)
    throw Exception("The library file name is longer than " + std::to_string(host::kMaxTextBytes) + " bytes.");
  load.payload = static_cast<std::uint32_t>(libraryFile.size());
  std::string text;
  host::Reply reply;
  try {
    reply = session->channel_.Exchange(load, reinterpret_cast<const std::uint8_t*>(libraryFile.data()), nullptr, &text);
  } catch (const host::ChannelFailure& failure) {
    session->Lost("while loading the library", failure, "the library has not been loaded");
  }
  if (reply.outcome != host::Outcome::Done) {
    session->End();
    if (reply.outcome == host::Outcome::OsError) throw EOSError(reply.code, text);
    throw Exception(text);
  }
  exports = reply.exports;
  activeSession = session.get();
  return session;
}

void HostSession::Free() {
  host::Request free;
  free.kind = host::RequestKind::Free;
  std::string text;
  host::Reply reply;
  try {
    reply = channel_.Exchange(free, nullptr, nullptr, &text, kClosingLimit);
  } catch (const host::ChannelFailure& failure) {
    if (!failure.timedOut) Lost("while freeing the library", failure, "the library has been unloaded");
    // It hangs in the library: ending it frees the library just as well.
    serving_ = false;
    if (activeSession == this) activeSession = nullptr;
    child_->Kill();
    return;
  }
  if (reply.outcome == host::Outcome::OsError) throw EOSError(reply.code, text);
  if (reply.outcome != host::Outcome::Done) throw Exception(text);
  End();
}

void HostSession::End() {
  serving_ = false;
  if (activeSession == this) activeSession = nullptr;
  child_->CloseChannel();
  if (!child_->WaitForExit(kExitGrace)) child_->Kill();
}

HostSession& HostSession::Active(drav::Entry entry) {
  if (activeSession == nullptr)
    throw ELibraryHostStopped(std::string("The device library has been unloaded; ") + drav::EntryName(entry) +
                              " cannot be called.");
  return *activeSession;
}

host::Reply HostSession::Call(drav::Entry entry, const host::Request& request, const std::uint8_t* send,
                              std::uint8_t* receive) {
  try {
    return channel_.Exchange(request, send, receive, nullptr, closing_ ? kClosingLimit : 0ms);
  } catch (const host::ChannelFailure& failure) {
    Lost(During(entry), failure, "the library has been unloaded");
  } catch (const host::BufferTooLarge& large) {
    throw Exception(std::string(drav::EntryName(entry)) + " was given " + std::to_string(large.size) +
                    " bytes at once; the device library host passes at most " + std::to_string(large.capacity) +
                    ". Nothing has been sent to the library.");
  }
}

void HostSession::Malformed(drav::Entry entry, const std::string& reason) {
  Lost(During(entry), host::ChannelFailure{false, reason}, "the library has been unloaded");
}

void HostSession::Lost(const std::string& during, const host::ChannelFailure& failure, const std::string& consequence) {
  serving_ = false;
  if (activeSession == this) activeSession = nullptr;
  std::string message;
  if (failure.timedOut) {
    child_->Kill();
    message = "The device library host did not answer " + Unanswered(during) + " within " +
              std::to_string(std::chrono::duration_cast<std::chrono::seconds>(kClosingLimit).count()) +
              " seconds; it has been stopped and " + consequence + ".";
  } else if (failure.broken) {
    // It may still be on its way out; one that lingers is ended here.
    child_->CloseChannel();
    std::optional<platform::ExitStatus> status = child_->WaitForExit(kExitGrace);
    if (!status) status = child_->Kill();
    message = "The device library host stopped (" + StatusText(*status) + ") " + during + "; " + consequence + ".";
  } else {
    child_->Kill();
    message = "The device library host sent a malformed reply (" + failure.reason + ") " + during +
              "; it has been stopped and " + consequence + ".";
  }
  if (onLost_) onLost_();
  throw ELibraryHostStopped(message);
}

}  // namespace selvarex
