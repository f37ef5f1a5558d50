#include "sim/hw/ChipsetRegisterBlock.h"

#include <algorithm>

namespace sim {

bool ChipsetRegisterBlock::Attach(uint64_t offset, uint64_t size, MemoryDevice &device) {
  if (size == 0 || offset >= kSize || size > kSize - offset) return false;
  for (const Attached &other : attached_) {
    if (offset < other.offset + other.size && other.offset < offset + size) return false;
  }
  attached_.push_back(Attached{offset, size, &device});
  return true;
}

void ChipsetRegisterBlock::Detach(const MemoryDevice &device) {
  attached_.erase(std::remove_if(attached_.begin(), attached_.end(),
                                 [&device](const Attached &part) { return part.device == &device; }),
                  attached_.end());
}

const ChipsetRegisterBlock::Attached *ChipsetRegisterBlock::Covering(uint64_t offset,
                                                                     uint64_t length) const {
  for (const Attached &part : attached_) {
    if (offset >= part.offset && offset + length <= part.offset + part.size) return &part;
  }
  return nullptr;
}

bool ChipsetRegisterBlock::ReadMemory(uint64_t offset, unsigned size, uint32_t &value) {
  const Attached *part = Covering(offset, size);
  return part && part->device->ReadMemory(offset - part->offset, size, value);
}

bool ChipsetRegisterBlock::WriteMemory(uint64_t offset, unsigned size, uint32_t value) {
  const Attached *part = Covering(offset, size);
  return part && part->device->WriteMemory(offset - part->offset, size, value);
}

uint8_t *ChipsetRegisterBlock::Backing(uint64_t offset, uint64_t length) {
  const Attached *part = Covering(offset, length);
  return part ? part->device->Backing(offset - part->offset, length) : nullptr;
}

}  // namespace sim
