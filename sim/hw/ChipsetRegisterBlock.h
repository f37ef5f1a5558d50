// The 16 KiB chipset configuration register block the LPC bridge's RCBA register places in
// memory (the board maps it while RCBA's enable bit is set). Controllers inside it - the SPI
// flash controller at 0x3800, for one - attach at their offsets; an offset nobody attached
// decodes as nothing, so its accesses show up as unmapped-memory faults.
#pragma once

#include <cstdint>
#include <vector>

#include "sim/hw/MemoryBus.h"

namespace sim {

class ChipsetRegisterBlock : public MemoryDevice {
 public:
  static constexpr uint64_t kSize = 0x4000;

  // The device stays owned by the caller. False when the range leaves the block or overlaps.
  bool Attach(uint64_t offset, uint64_t size, MemoryDevice &device);
  void Detach(const MemoryDevice &device);

  bool ReadMemory(uint64_t offset, unsigned size, uint32_t &value) override;
  bool WriteMemory(uint64_t offset, unsigned size, uint32_t value) override;
  uint8_t *Backing(uint64_t offset, uint64_t length) override;

 private:
  struct Attached {
    uint64_t offset;
    uint64_t size;
    MemoryDevice *device;
  };
  const Attached *Covering(uint64_t offset, uint64_t length) const;

  std::vector<Attached> attached_;
};

}  // namespace sim
