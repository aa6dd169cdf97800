// The programmer library's 36 entry points: one typed list that the binding,
// the simulated library and the tests all derive from, so a signature is
// written once.
#pragma once

#include <cstddef>
#include <cstdint>

// The maker's library is a 32-bit Windows DLL whose exports use stdcall (the
// callee pops its arguments). The convention lives in the function types, so
// every call through the table uses it.
#if defined(_WIN32) && !defined(_WIN64)
#define DRAV_CALL __stdcall
#else
#define DRAV_CALL
#endif

namespace drav {

using BOOL32 = std::int32_t;   // non-zero = success
using Handle = std::uint32_t;  // opaque library object, 0 = none

constexpr std::uint32_t kLastErrorBufferSize = 512;
constexpr std::uint32_t kNameBufferSize = 100;

}  // namespace drav

// X(name, result type, parameter list) in the order the loader resolves them.
// GetFlashID and DravDevSetWVerify are resolved but never called.
#define DRAVOLIN_ENTRY_POINTS(X)                                                                                    \
  X(DravUsbOpen, drav::Handle, (void))                                                                              \
  X(DravUsbClose, drav::BOOL32, (drav::Handle usb))                                                                 \
  X(DravGetLastError, drav::BOOL32, (char* text, std::uint32_t size))                                               \
  X(DravUsbGetDLLVersion, drav::BOOL32, (std::uint32_t * high, std::uint32_t * low))                                \
  X(DravUsbGetDriverVersion, drav::BOOL32, (std::uint32_t * high, std::uint32_t * low))                             \
  X(GetFlashID, drav::BOOL32, (drav::Handle usb, std::uint16_t * id))                                               \
  X(DravUsbGetLoaderVersion, drav::BOOL32, (drav::Handle usb, std::uint16_t * version))                             \
  X(DravUsbGetPldStatus, drav::BOOL32, (drav::Handle usb, std::uint32_t * status))                                  \
  X(DravUsbGetPLDID, drav::BOOL32, (drav::Handle usb, std::uint16_t * id))                                          \
  X(DravUsbResetPLD, drav::BOOL32, (drav::Handle usb))                                                              \
  X(DravUsbReset, drav::BOOL32, (drav::Handle usb))                                                                 \
  X(DravUsbSetTimeOut, drav::BOOL32, (drav::Handle usb, std::int32_t rx, std::int32_t tx))                          \
  X(DravUsbDeviceCount, drav::BOOL32, (std::uint32_t * count))                                                      \
  X(DravUsbDEVEnter, drav::BOOL32, (drav::Handle usb, std::uint8_t * status))                                       \
  X(DravUsbDEVExit, drav::BOOL32, (drav::Handle usb, std::uint8_t * status))                                        \
  X(DravUsbSelectFlash, drav::BOOL32, (drav::Handle usb, std::uint32_t index))                                      \
  X(DravDevCreate, drav::Handle, (void))                                                                            \
  X(DravDevDestroy, drav::BOOL32, (drav::Handle device))                                                            \
  X(DravDevIsSupported, drav::BOOL32, (drav::Handle device, std::uint32_t flashId, std::uint32_t * flag))           \
  X(DravDevIsProdSupported, drav::BOOL32, (drav::Handle device, std::uint32_t flashId, std::uint32_t * flag))       \
  X(DravDevGetFullName, drav::BOOL32, (drav::Handle device, std::uint32_t flashId, char* text, std::uint32_t size)) \
  X(DravDevGetProdName, drav::BOOL32, (drav::Handle device, std::uint32_t flashId, char* text, std::uint32_t size)) \
  X(DravDevSetWVerify, drav::BOOL32, (drav::Handle device, std::uint32_t flag))                                     \
  X(DravDevGetFlashID, drav::BOOL32, (drav::Handle device, drav::Handle usb, std::uint16_t * id))                   \
  X(DravDevCreateFlash, drav::Handle, (drav::Handle device, drav::Handle usb, std::uint16_t flashId))               \
  X(DravFlashBlank, drav::BOOL32, (drav::Handle flash, std::uint32_t * value))                                      \
  X(DravFlashEraseAll, drav::BOOL32, (drav::Handle flash))                                                          \
  X(DravFlashEraseSector, drav::BOOL32, (drav::Handle flash, std::uint32_t address))                                \
  X(DravFlashReset, drav::BOOL32, (drav::Handle flash))                                                             \
  X(DravFlashGetDeviceSize, drav::BOOL32, (drav::Handle flash, std::uint32_t * size))                               \
  X(DravFlashSetWVerify, drav::BOOL32, (drav::Handle flash, std::uint32_t flag))                                    \
  X(DravFlashRead, drav::BOOL32,                                                                                    \
    (drav::Handle flash, std::uint32_t address, std::uint8_t * buffer, std::uint32_t length))                       \
  X(DravFlashWrite, drav::BOOL32,                                                                                   \
    (drav::Handle flash, std::uint32_t address, const std::uint8_t* buffer, std::uint32_t length))                  \
  X(DravCounterStart, drav::BOOL32, (drav::Handle flash))                                                           \
  X(DravCounterGet, drav::BOOL32,                                                                                   \
    (drav::Handle flash, std::int32_t * running, std::uint32_t * ticks, std::uint8_t * value,                       \
     std::int32_t * timedOut))                                                                                      \
  X(DravCounterReset, drav::BOOL32, (drav::Handle flash))

namespace drav {

// Function types, e.g. drav::DravFlashRead_t.
#define DRAV_DECLARE_TYPE(name, result, params) using name##_t = result(DRAV_CALL*) params;
DRAVOLIN_ENTRY_POINTS(DRAV_DECLARE_TYPE)
#undef DRAV_DECLARE_TYPE

// Identifiers of the entry points, in table order.
enum class Entry : int {
#define DRAV_DECLARE_ID(name, result, params) name,
  DRAVOLIN_ENTRY_POINTS(DRAV_DECLARE_ID)
#undef DRAV_DECLARE_ID
};

constexpr const char* kEntryNames[] = {
#define DRAV_DECLARE_NAME(name, result, params) #name,
    DRAVOLIN_ENTRY_POINTS(DRAV_DECLARE_NAME)
#undef DRAV_DECLARE_NAME
};

constexpr std::size_t kEntryCount = sizeof(kEntryNames) / sizeof(kEntryNames[0]);
static_assert(kEntryCount == 36, "the library has 36 entry points");

constexpr const char* EntryName(Entry e) { return kEntryNames[static_cast<int>(e)]; }

// The entry table: one typed reference per entry point, null until resolved
// and after unloading. Every caller tests the reference it needs.
struct EntryTable {
#define DRAV_DECLARE_FIELD(name, result, params) name##_t name = nullptr;
  DRAVOLIN_ENTRY_POINTS(DRAV_DECLARE_FIELD)
#undef DRAV_DECLARE_FIELD

  bool Has(Entry e) const;
  void Clear() { *this = EntryTable{}; }
};

}  // namespace drav
