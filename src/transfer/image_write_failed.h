// A dump whose image file the disk did not take in full.
#pragma once

#include <cstdint>
#include <string>

#include "transfer/operation_log.h"

namespace selvarex {

// A short image must never pass for a dump: logs the failed write (prefix is
// the cycle's, and ", ", or empty) and throws Exception naming the file.
[[noreturn]] void ImageWriteFailed(OperationLog& log, const std::string& prefix, const std::string& fileName,
                                   std::int64_t position);

}  // namespace selvarex
