#include "device/platform_loader.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <dlfcn.h>
#endif

namespace selvarex::platform {

namespace {

std::string TrimSystemText(std::string text) {
  while (!text.empty()) {
    const unsigned char last = static_cast<unsigned char>(text.back());
    if (last > ' ' && last != '.') break;
    text.pop_back();
  }
  return text;
}

#ifndef _WIN32
// dlopen reports through dlerror(), not errno; keep both from the failing call.
thread_local OsError lastError;

void RememberDlError(int savedErrno) {
  const char* text = dlerror();
  lastError.text = TrimSystemText(text ? text : "");
  // dlerror has no number of its own: use errno when the loader set one,
  // otherwise ELIBBAD ("accessing a corrupted shared library").
  lastError.code = static_cast<std::uint32_t>(savedErrno != 0 ? savedErrno : ELIBBAD);
}
#endif

}  // namespace

#ifdef _WIN32

const char* CurrentDirectoryPrefix() { return ".\\"; }

ModuleHandle OpenLibrary(const std::string& path) { return reinterpret_cast<ModuleHandle>(LoadLibraryA(path.c_str())); }

void* FindSymbol(ModuleHandle module, const char* name) {
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(module), name));
}

bool CloseLibrary(ModuleHandle module) { return FreeLibrary(static_cast<HMODULE>(module)) != 0; }

OsError LastOsError() {
  OsError error;
  error.code = GetLastError();
  char* buffer = nullptr;
  const DWORD length = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                          FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ARGUMENT_ARRAY,
                                      nullptr, error.code, 0, reinterpret_cast<char*>(&buffer), 0, nullptr);
  if (buffer != nullptr) {
    error.text = Utf8FromSystemText(TrimSystemText(std::string(buffer, length)));
    LocalFree(buffer);
  }
  return error;
}

bool PlayErrorSound() { return MessageBeep(MB_ICONHAND) != 0; }

std::string Utf8FromSystemText(const std::string& text) {
  if (text.empty()) return text;
  const int size = static_cast<int>(text.size());
  const int wideLength = MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(wideLength), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), size, wide.data(), wideLength);
  const int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, utf8.data(), length, nullptr, nullptr);
  return utf8;
}

#else

const char* CurrentDirectoryPrefix() { return "./"; }

ModuleHandle OpenLibrary(const std::string& path) {
  errno = 0;
  ModuleHandle module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (module == nullptr) RememberDlError(errno);
  return module;
}

void* FindSymbol(ModuleHandle module, const char* name) {
  void* symbol = dlsym(module, name);
  if (symbol == nullptr) dlerror();  // clear it: a missing entry is not an error
  return symbol;
}

bool CloseLibrary(ModuleHandle module) {
  errno = 0;
  if (dlclose(module) == 0) return true;
  RememberDlError(errno);
  return false;
}

OsError LastOsError() { return lastError; }

bool PlayErrorSound() { return false; }

// Elsewhere the locale's text is UTF-8 already.
std::string Utf8FromSystemText(const std::string& text) { return text; }

#endif

}  // namespace selvarex::platform
