#include "device/dravolin_library.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "device/errors.h"
#include "device/host_protocol.h"
#include "device/host_proxies.h"
#include "device/host_session.h"
#include "device/library_text.h"

namespace selvarex {

DravolinLibrary::Binding DravolinLibrary::ChosenBinding() {
  const char* setting = std::getenv("SELVAREX_LIBRARY_HOST");
  if (setting != nullptr && std::strcmp(setting, "1") == 0) return Binding::Host;
  if (setting != nullptr && std::strcmp(setting, "0") == 0) return Binding::InProcess;
#if defined(_WIN64)
  // The maker's library is 32-bit: a 64-bit Windows process cannot load it.
  return Binding::Host;
#else
  return Binding::InProcess;
#endif
}

std::string DravolinLibrary::LibraryPath() { return std::string(platform::CurrentDirectoryPrefix()) + kFileName; }

DravolinLibrary::DravolinLibrary(Binding binding) : binding_(binding) {}

DravolinLibrary::~DravolinLibrary() = default;

DravolinLibrary::Closing::Closing(DravolinLibrary& library) : library_(library) {
  if (library_.host_ != nullptr) library_.host_->LimitCalls(true);
}

DravolinLibrary::Closing::~Closing() {
  if (library_.host_ != nullptr) library_.host_->LimitCalls(false);
}

bool DravolinLibrary::IsOpen() const { return FDllHandle != nullptr || (host_ != nullptr && host_->Serving()); }

std::shared_ptr<std::uint8_t> DravolinLibrary::HostTransferBuffer(std::uint32_t size) const {
  if (host_ != nullptr && host_->Serving() && size <= host::kTransferBytes) return host_->TransferBuffer();
  return nullptr;
}

std::uint8_t* DravolinLibrary::TransferBuffer(std::uint32_t size) const {
  if (const std::shared_ptr<std::uint8_t> shared = HostTransferBuffer(size)) return shared.get();
  if (transfer_.size() < size) transfer_.resize(size);
  return transfer_.data();
}

void DravolinLibrary::Load() {
  if (binding_ == Binding::Host) {
    host_.reset();  // one that broke earlier
    std::uint64_t exports = 0;
    host_ = HostSession::Open(exports, file_);
    table_ = HostEntryTable(exports);
    host_->SetOnLost([this] { table_.Clear(); });
    return;
  }
  const std::string path = FilePath();
  // A folder of that name is no library file either.
  std::error_code ignored;
  if (!std::filesystem::exists(path, ignored) || std::filesystem::is_directory(path, ignored)) {
    throw Exception("File " + path + " doesn't exists!");
  }
  platform::ModuleHandle module = platform::OpenLibrary(path);
  if (module == nullptr) {
    const platform::OsError error = platform::LastOsError();
    throw EOSError(error.code, error.text);
  }
  FDllHandle = module;
#define DRAV_RESOLVE(name, result, params) \
  table_.name = reinterpret_cast<drav::name##_t>(platform::FindSymbol(module, #name));
  DRAVOLIN_ENTRY_POINTS(DRAV_RESOLVE)
#undef DRAV_RESOLVE
}

void DravolinLibrary::Unload() {
  if (host_ != nullptr) {
    if (host_->Serving()) host_->Free();
    host_.reset();
    table_.Clear();
    return;
  }
  if (FDllHandle == nullptr) return;
  if (!platform::CloseLibrary(FDllHandle)) {
    const platform::OsError error = platform::LastOsError();
    throw EOSError(error.code, error.text);
  }
  FDllHandle = nullptr;
  table_.Clear();
}

void DravolinLibrary::RaiseLastDravolinError() const {
  static constexpr const char* kFallback = "TFormMain::RaiseLastDravolinError";
  if (table_.DravGetLastError == nullptr) throw Exception(kFallback);
  char text[drav::kLastErrorBufferSize];
  std::memset(text, 0, sizeof text);
  if (table_.DravGetLastError(text, sizeof text) == 0) throw Exception(kFallback);
  // An empty text would show an empty box, or none at all.
  std::string message = TextFromBuffer(text, sizeof text);
  throw Exception(message.empty() ? kFallback : message);
}

}  // namespace selvarex
