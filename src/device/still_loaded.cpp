#include "device/still_loaded.h"

#include <string>

#include "device/errors.h"

namespace selvarex {

void RequireStillLoaded(const DravolinLibrary& library) {
  if (library.IsOpen()) return;
  throw Exception(std::string("The device library ") + DravolinLibrary::kFileName +
                  " was unloaded while the command ran. Nothing more has been done.");
}

}  // namespace selvarex
