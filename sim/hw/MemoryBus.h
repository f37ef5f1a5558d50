// The processor's physical address space: devices decode ranges. An address nobody decodes
// reads all-ones and drops writes, and is recorded as a fault.
#pragma once

#include <cstdint>
#include <vector>

#include "sim/hw/Faults.h"

namespace sim {

class MemoryDevice {
 public:
  virtual ~MemoryDevice() = default;
  // Offset is from the base of the device's claim; Size is 1, 2 or 4 bytes and lies wholly
  // inside the claim. False means the device does not decode this access.
  virtual bool ReadMemory(uint64_t offset, unsigned size, uint32_t &value) = 0;
  virtual bool WriteMemory(uint64_t offset, unsigned size, uint32_t value) = 0;
  // Bytes the processor could read in bulk at Offset..Offset+Length-1, or null when the
  // device is registers rather than memory.
  virtual uint8_t *Backing(uint64_t offset, uint64_t length) {
    (void)offset;
    (void)length;
    return nullptr;
  }
};

class MemoryBus {
 public:
  explicit MemoryBus(FaultList &faults) : faults_(faults) {}

  // False, and nothing claimed, when the range is empty, wraps, or overlaps another claim.
  bool Claim(uint64_t base, uint64_t size, MemoryDevice &device);
  void Release(const MemoryDevice &device);

  // An access must lie inside one claim; a straddling one is undecoded.
  uint32_t Read(uint64_t address, unsigned size);
  void Write(uint64_t address, unsigned size, uint32_t value);
  // Bulk read pointer when one device with byte backing holds the whole range.
  uint8_t *PointerTo(uint64_t address, uint64_t length);

 private:
  struct Claimed {
    uint64_t base;
    uint64_t size;
    MemoryDevice *device;
  };
  const Claimed *Covering(uint64_t address, uint64_t length) const;

  FaultList &faults_;
  std::vector<Claimed> claims_;
};

}  // namespace sim
