// The chipset's general control and status register GCS (RCBA + 0x3410, 32 bits). Its boot
// BIOS strap field BBS (bits 11:10) powers up with the value of the board's strap pins, which
// the test chooses; the rest of the register is plain storage here.
#pragma once

#include <cstdint>

#include "sim/hw/MemoryBus.h"
#include "sim/hw/flash/RegisterField.h"

namespace sim {

class GeneralControlStatus : public MemoryDevice {
 public:
  static constexpr uint64_t kRcbaOffset = 0x3410;
  static constexpr uint64_t kSize = 4;
  static constexpr RegisterField kBootBiosStrap{10, 2};  // BBS

  // The strap pins' value; also sets BBS as a reset would.
  void SetBootBiosStrap(uint8_t strap);
  uint32_t Value() const { return value_; }

  bool ReadMemory(uint64_t offset, unsigned size, uint32_t &value) override;
  bool WriteMemory(uint64_t offset, unsigned size, uint32_t value) override;

 private:
  uint32_t value_ = 0;
};

}  // namespace sim
