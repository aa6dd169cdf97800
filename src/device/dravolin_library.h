// Loading, resolving and unloading the programmer library, and turning its last
// error into an exception.
#pragma once

#include <string>

#include "device/dravolin_api.h"
#include "device/platform_loader.h"

namespace selvarex {

class DravolinLibrary {
 public:
  static constexpr const char* kFileName = "Dravolin.dll";

  // The library is looked for in the current working directory, not beside the
  // executable.
  static std::string LibraryPath();

  DravolinLibrary() = default;
  DravolinLibrary(const DravolinLibrary&) = delete;
  DravolinLibrary& operator=(const DravolinLibrary&) = delete;
  // Leaves a loaded library alone: it is released only through Unload.
  ~DravolinLibrary() = default;

  // Throws Exception when the file is missing, EOSError when it cannot be
  // loaded. Every one of the 36 names is looked up afresh; a missing export
  // leaves its reference null.
  void Load();
  // Throws EOSError when the library cannot be freed; it then stays loaded.
  void Unload();

  bool IsOpen() const { return FDllHandle != nullptr; }
  const drav::EntryTable& Api() const { return table_; }
  bool Has(drav::Entry e) const { return table_.Has(e); }

  // Always throws: the library's last error text, or the fallback text when
  // the library gives none, an empty one, or lacks DravGetLastError.
  [[noreturn]] void RaiseLastDravolinError() const;

 private:
  platform::ModuleHandle FDllHandle = nullptr;
  drav::EntryTable table_;
};

}  // namespace selvarex
