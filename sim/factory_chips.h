// The two chips as the programmer ships with them.
#pragma once

#include "nand_chip.h"

namespace sim {

NandChip FactoryChip(std::uint32_t index);

}  // namespace sim
