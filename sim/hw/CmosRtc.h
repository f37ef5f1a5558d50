// The real-time clock's battery-backed RAM behind the index/data pair 0x70/0x71. Bit 7 of the
// index port is not part of the index: it is the NMI mask, latched with the index. Port 0x70
// reads back whatever was last written to it.
//
// Bytes 0x0A, 0x0C and 0x0D are clock status registers rather than RAM: the update-in-progress
// bit (0x0A bit 7) and all of 0x0D (valid RAM and time) are read-only, and 0x0C (interrupt
// flags) is read-only and clears when read. The time of day does not tick.
#pragma once

#include <array>
#include <cstdint>

#include "sim/hw/PortBus.h"

namespace sim {

class CmosRtc : public BytePortDevice {
 public:
  static constexpr uint16_t kIndexPort = 0x70;
  static constexpr uint16_t kDataPort = 0x71;
  static constexpr uint8_t kNmiMaskBit = 0x80;
  static constexpr uint8_t kIndexMask = 0x7F;

  CmosRtc();

  // Direct access to the RAM, without status-register side effects; Index is masked to 7 bits.
  uint8_t Byte(uint8_t index) const { return ram_[index & kIndexMask]; }
  void SetByte(uint8_t index, uint8_t value) { ram_[index & kIndexMask] = value; }

  // The index port latch: NMI mask in bit 7, selected byte in bits 6:0.
  uint8_t IndexLatch() const { return latch_; }
  void PresetIndexLatch(uint8_t value) { latch_ = value; }
  bool NmiMasked() const { return (latch_ & kNmiMaskBit) != 0; }

 protected:
  uint8_t ReadByte(uint16_t offset) override;
  void WriteByte(uint16_t offset, uint8_t value) override;

 private:
  std::array<uint8_t, 128> ram_{};
  uint8_t latch_ = 0;
};

}  // namespace sim
