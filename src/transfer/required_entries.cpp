#include "transfer/required_entries.h"

#include <string>

#include "device/errors.h"

namespace selvarex {

void RequireEntries(const DravolinLibrary& library, std::span<const drav::Entry> entries) {
  for (const drav::Entry entry : entries) {
    if (!library.Has(entry)) {
      throw Exception(std::string("The device library ") + DravolinLibrary::kFileName + " has no entry point " +
                      drav::EntryName(entry) + ", which this command needs. Nothing has been done.");
    }
  }
}

}  // namespace selvarex
