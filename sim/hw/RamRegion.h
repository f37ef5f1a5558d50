// Plain memory at a physical range: loads return what was stored, and the bytes can be read in
// bulk through a pointer. Used for memory-mapped words a test wants to own.
#pragma once

#include <cstdint>
#include <vector>

#include "sim/hw/MemoryBus.h"

namespace sim {

class RamRegion : public MemoryDevice {
 public:
  explicit RamRegion(uint64_t size, uint8_t fill = 0) : bytes_(size, fill) {}

  uint64_t Size() const { return bytes_.size(); }
  std::vector<uint8_t> &Bytes() { return bytes_; }
  const std::vector<uint8_t> &Bytes() const { return bytes_; }

  // Direct little-endian access by offset, for presetting and checking contents.
  uint8_t Load8(uint64_t offset) const { return static_cast<uint8_t>(Load(offset, 1)); }
  uint16_t Load16(uint64_t offset) const { return static_cast<uint16_t>(Load(offset, 2)); }
  uint32_t Load32(uint64_t offset) const { return Load(offset, 4); }
  void Store8(uint64_t offset, uint8_t value) { Store(offset, 1, value); }
  void Store16(uint64_t offset, uint16_t value) { Store(offset, 2, value); }
  void Store32(uint64_t offset, uint32_t value) { Store(offset, 4, value); }

  bool ReadMemory(uint64_t offset, unsigned size, uint32_t &value) override;
  bool WriteMemory(uint64_t offset, unsigned size, uint32_t value) override;
  uint8_t *Backing(uint64_t offset, uint64_t length) override;

 private:
  uint32_t Load(uint64_t offset, unsigned size) const;
  void Store(uint64_t offset, unsigned size, uint32_t value);

  std::vector<uint8_t> bytes_;
};

}  // namespace sim
