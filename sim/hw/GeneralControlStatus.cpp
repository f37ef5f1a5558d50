#include "sim/hw/GeneralControlStatus.h"

namespace sim {

void GeneralControlStatus::SetBootBiosStrap(uint8_t strap) {
  value_ = kBootBiosStrap.Set(value_, strap);
}

bool GeneralControlStatus::ReadMemory(uint64_t offset, unsigned size, uint32_t &value) {
  value = value_ >> (8 * offset);
  if (size < 4) value &= (1u << (8 * size)) - 1;
  return true;
}

bool GeneralControlStatus::WriteMemory(uint64_t offset, unsigned size, uint32_t value) {
  const uint32_t mask = (size < 4 ? (1u << (8 * size)) - 1 : 0xFFFFFFFFu) << (8 * offset);
  value_ = (value_ & ~mask) | ((value << (8 * offset)) & mask);
  return true;
}

}  // namespace sim
