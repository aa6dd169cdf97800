#include "transfer/image_write_failed.h"

#include "device/errors.h"
#include "transfer/file_names.h"

namespace selvarex {

using std::to_string;

void ImageWriteFailed(OperationLog& log, const std::string& prefix, const std::string& fileName,
                      std::int64_t position) {
  log.Entry(prefix + "File Write Error occured at position: " + to_string(position) + " (dec)");
  throw Exception("Cannot write file " + ShownFileName(fileName) + " at position " + to_string(position) +
                  " (dec): the NAND dump is incomplete.");
}

}  // namespace selvarex
