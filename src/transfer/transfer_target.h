// What a block-wise process works on and what it hands back to the window.
#pragma once

#include <cstdint>
#include <string>

#include "device/dravolin_library.h"

namespace selvarex {

struct TransferTarget {
  const DravolinLibrary& library;
  drav::Handle flash;          // flash object of the selected chip
  std::int32_t selectedFlash;  // 0 or 1, as the log's summary names it
};

struct ProcessResult {
  bool stopped = false;  // the operator stopped the run
  std::string message;   // the closing information box ("\n" line breaks)
};

}  // namespace selvarex
