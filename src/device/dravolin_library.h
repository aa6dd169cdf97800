// Loading, resolving and unloading the programmer library, and turning its last
// error into an exception. The library runs either in this process or, where
// this process cannot load it (a 64-bit Windows build and the maker's 32-bit
// library), in a host process of the library's own bitness; callers see the
// same entry table either way.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "device/dravolin_api.h"
#include "device/platform_loader.h"

namespace selvarex {

class HostSession;

class DravolinLibrary {
 public:
  static constexpr const char* kFileName = "Dravolin.dll";

  enum class Binding { InProcess, Host };
  // SELVAREX_LIBRARY_HOST=1 asks for the host, =0 forbids it; otherwise the
  // host is used exactly where this build cannot load the library itself.
  static Binding ChosenBinding();

  // The library is looked for in the current working directory, not beside the
  // executable.
  static std::string LibraryPath();

  explicit DravolinLibrary(Binding binding = ChosenBinding());
  // Another file than ./Dravolin.dll for the loads from now on (a path as
  // the operator gives it, relative to the working directory); "" for the
  // default. A library in its host is loaded by the host from that path.
  void UseLibraryFile(std::string path) { file_ = std::move(path); }
  // The file Load loads.
  std::string FilePath() const { return file_.empty() ? LibraryPath() : file_; }
  DravolinLibrary(const DravolinLibrary&) = delete;
  DravolinLibrary& operator=(const DravolinLibrary&) = delete;
  // Leaves a library loaded in this process alone: it is released only
  // through Unload. A host process is always ended.
  ~DravolinLibrary();

  // Throws Exception when the file is missing, EOSError when it cannot be
  // loaded. Every one of the 36 names is looked up afresh; a missing export
  // leaves its reference null.
  void Load();
  // Throws EOSError when the library cannot be freed; it then stays loaded.
  void Unload();

  bool IsOpen() const;

  // A buffer of at least size bytes for block data, valid while the library
  // stays loaded; with the library in its host, data in it crosses between
  // the processes without a copy.
  std::uint8_t* TransferBuffer(std::uint32_t size) const;
  // The host's transfer buffer when the library is in its host and size
  // fits, else null: in process the library works in any buffer as it is.
  // Its memory stays valid while the pointer is held, also after an unload
  // (a file write from it may still be under way).
  std::shared_ptr<std::uint8_t> HostTransferBuffer(std::uint32_t size) const;

  // While the program closes no library call may keep it from ending: one
  // that a library in its host does not answer in time ends the host.
  class Closing {
   public:
    explicit Closing(DravolinLibrary& library);
    ~Closing();
    Closing(const Closing&) = delete;
    Closing& operator=(const Closing&) = delete;

   private:
    DravolinLibrary& library_;
  };
  Binding UsedBinding() const { return binding_; }
  const drav::EntryTable& Api() const { return table_; }
  bool Has(drav::Entry e) const { return table_.Has(e); }

  // Always throws: the library's last error text, or the fallback text when
  // the library gives none, an empty one, or lacks DravGetLastError.
  [[noreturn]] void RaiseLastDravolinError() const;

 private:
  Binding binding_;
  std::string file_;
  platform::ModuleHandle FDllHandle = nullptr;
  std::unique_ptr<HostSession> host_;
  drav::EntryTable table_;
  mutable std::vector<std::uint8_t> transfer_;
};

}  // namespace selvarex
