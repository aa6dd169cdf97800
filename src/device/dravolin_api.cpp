#include "device/dravolin_api.h"

namespace drav {

bool EntryTable::Has(Entry e) const {
  switch (e) {
#define DRAV_CASE(name, result, params) \
  case Entry::name: return name != nullptr;
    DRAVOLIN_ENTRY_POINTS(DRAV_CASE)
#undef DRAV_CASE
  }
  return false;
}

}  // namespace drav
