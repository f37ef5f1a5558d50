#include "sim/hw/MemoryBus.h"

#include <algorithm>

namespace sim {

bool MemoryBus::Claim(uint64_t base, uint64_t size, MemoryDevice &device) {
  if (size == 0 || base + size < base) return false;
  const uint64_t last = base + size - 1;
  for (const Claimed &claim : claims_) {
    if (base <= claim.base + claim.size - 1 && claim.base <= last) return false;
  }
  claims_.push_back(Claimed{base, size, &device});
  return true;
}

void MemoryBus::Release(const MemoryDevice &device) {
  claims_.erase(std::remove_if(claims_.begin(), claims_.end(),
                               [&device](const Claimed &claim) {
                                 return claim.device == &device;
                               }),
                claims_.end());
}

const MemoryBus::Claimed *MemoryBus::Covering(uint64_t address, uint64_t length) const {
  if (length == 0) length = 1;
  const uint64_t last = address + length - 1;
  if (last < address) return nullptr;
  for (const Claimed &claim : claims_) {
    if (address >= claim.base && last <= claim.base + claim.size - 1) return &claim;
  }
  return nullptr;
}

uint32_t MemoryBus::Read(uint64_t address, unsigned size) {
  uint32_t value = 0;
  const Claimed *claim = Covering(address, size);
  if (claim && claim->device->ReadMemory(address - claim->base, size, value)) return value;
  faults_.Record(FaultKind::UnmappedMemory, address, size * 8, "read");
  return size >= 4 ? 0xFFFFFFFFu : (1u << (size * 8)) - 1;
}

void MemoryBus::Write(uint64_t address, unsigned size, uint32_t value) {
  const Claimed *claim = Covering(address, size);
  if (claim && claim->device->WriteMemory(address - claim->base, size, value)) return;
  faults_.Record(FaultKind::UnmappedMemory, address, size * 8, "write");
}

uint8_t *MemoryBus::PointerTo(uint64_t address, uint64_t length) {
  const Claimed *claim = Covering(address, length);
  if (claim == nullptr) return nullptr;
  return claim->device->Backing(address - claim->base, length == 0 ? 1 : length);
}

}  // namespace sim
