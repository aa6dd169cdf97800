#include "device/dravolin_library.h"

#include <cstring>
#include <filesystem>

#include "device/errors.h"
#include "device/library_text.h"

namespace selvarex {

std::string DravolinLibrary::LibraryPath() {
  return std::string(platform::CurrentDirectoryPrefix()) + kFileName;
}

void DravolinLibrary::Load() {
  const std::string path = LibraryPath();
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
