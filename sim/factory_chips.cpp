#include "factory_chips.h"

namespace sim {

NandChip FactoryChip(std::uint32_t index) {
  // Marker 0x00: what the makers write into the blocks they find bad.
  if (index == 0) {
    return NandChip(0, ChipIdentity{0xC3A1, "VK9N1G08 1 Gbit NAND", "Veltrane", true, true}, {37, 402, 1000}, 0x00);
  }
  return NandChip(1, ChipIdentity{0x2B74, "QL4F1G8R 1 Gbit NAND", "Orvessa Semiconductor", false, true}, {5, 700},
                  0x00);
}

}  // namespace sim
