#include "sim/hw/RamRegion.h"

namespace sim {

uint32_t RamRegion::Load(uint64_t offset, unsigned size) const {
  uint32_t value = 0;
  for (unsigned i = 0; i < size; ++i) value |= static_cast<uint32_t>(bytes_.at(offset + i)) << (8 * i);
  return value;
}

void RamRegion::Store(uint64_t offset, unsigned size, uint32_t value) {
  for (unsigned i = 0; i < size; ++i) bytes_.at(offset + i) = static_cast<uint8_t>(value >> (8 * i));
}

bool RamRegion::ReadMemory(uint64_t offset, unsigned size, uint32_t &value) {
  value = Load(offset, size);
  return true;
}

bool RamRegion::WriteMemory(uint64_t offset, unsigned size, uint32_t value) {
  Store(offset, size, value);
  return true;
}

uint8_t *RamRegion::Backing(uint64_t offset, uint64_t length) {
  if (offset > bytes_.size() || length > bytes_.size() - offset) return nullptr;
  return bytes_.data() + offset;
}

}  // namespace sim
