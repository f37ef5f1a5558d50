// The I/O controller hub's real-time clock: 256 bytes of battery-backed RAM in two banks of
// 128 (standard and upper), behind the eight ports 0x70-0x77 as the hub decodes them.
//
//   0x70  NMI_EN (bit 7; 1 = every NMI source disabled) and the standard bank index (6:0).
//         Write-only: a read returns neither outside alternate access mode (the cycle finds no
//         register and the bus floats to 0xFF); in alternate access mode it returns both.
//   0x71  standard bank data.
//   0x74  the standard bank index again, without NMI_EN: a write moves the index only, and a
//         read returns the index in bits 6:0 with bit 7 reading 0.
//   0x75  standard bank data.
//   0x72, 0x73 / 0x76, 0x77  with the upper bank enabled: the upper bank's index (6:0, read
//         back with bit 7 clear) and data. With it disabled, as at power-on, 0x72/0x73 are
//         aliases of 0x70/0x71 and 0x76/0x77 aliases of 0x74/0x75.
//
// NMI_EN powers on set (NMI sources disabled), the index at 0. Whether the upper bank is
// enabled and whether alternate access mode is on are chipset configuration bits elsewhere
// (the RTC configuration and general control registers of the chipset register block); the
// board's wiring, or a test, sets them here.
//
// Bytes 0x0A, 0x0C and 0x0D of the standard bank are clock status registers rather than RAM:
// the update-in-progress bit (0x0A bit 7) and all of 0x0D (valid RAM and time) are read-only,
// and 0x0C (interrupt flags) is read-only and clears when read. The time of day does not tick.
#pragma once

#include <array>
#include <cstdint>

#include "sim/hw/PortBus.h"

namespace sim {

class CmosRtc : public BytePortDevice {
 public:
  static constexpr uint16_t kIndexPort = 0x70;
  static constexpr uint16_t kDataPort = 0x71;
  static constexpr uint32_t kPortCount = 8;  // 0x70-0x77
  static constexpr uint8_t kNmiMaskBit = 0x80;
  static constexpr uint8_t kIndexMask = 0x7F;
  static constexpr uint8_t kPowerOnIndexLatch = kNmiMaskBit;
  // What a read of a port with no readable register returns.
  static constexpr uint8_t kFloatingRead = 0xFF;

  CmosRtc();

  // Direct access to the standard bank, without status-register side effects; Index is
  // masked to 7 bits.
  uint8_t Byte(uint8_t index) const { return ram_[index & kIndexMask]; }
  void SetByte(uint8_t index, uint8_t value) { ram_[index & kIndexMask] = value; }
  // The upper bank, Index masked to 7 bits.
  uint8_t UpperByte(uint8_t index) const { return ram_[kBankSize + (index & kIndexMask)]; }
  void SetUpperByte(uint8_t index, uint8_t value) { ram_[kBankSize + (index & kIndexMask)] = value; }

  // NMI_EN in bit 7 and the standard bank index in bits 6:0, as the chipset holds them.
  uint8_t IndexLatch() const { return static_cast<uint8_t>(nmi_mask_ | index_); }
  void PresetIndexLatch(uint8_t value);
  bool NmiMasked() const { return nmi_mask_ != 0; }
  uint8_t UpperIndex() const { return upper_index_; }

  // Chipset configuration that changes how the ports decode.
  void SetAlternateAccessMode(bool on) { alternate_access_ = on; }
  bool AlternateAccessMode() const { return alternate_access_; }
  void SetUpperBankEnabled(bool on) { upper_bank_enabled_ = on; }
  bool UpperBankEnabled() const { return upper_bank_enabled_; }

 protected:
  uint8_t ReadByte(uint16_t offset) override;
  void WriteByte(uint16_t offset, uint8_t value) override;

 private:
  static constexpr unsigned kBankSize = 128;

  // What each port offset does after the upper-bank aliasing is resolved.
  enum class Port { NmiAndIndex, Index, Data, UpperIndex, UpperData };
  Port Decode(uint16_t offset) const;

  uint8_t ReadStandard();
  void WriteStandard(uint8_t value);

  std::array<uint8_t, 2 * kBankSize> ram_{};
  uint8_t nmi_mask_ = kPowerOnIndexLatch & kNmiMaskBit;
  uint8_t index_ = kPowerOnIndexLatch & kIndexMask;
  uint8_t upper_index_ = 0;
  bool alternate_access_ = false;
  bool upper_bank_enabled_ = false;
};

}  // namespace sim
