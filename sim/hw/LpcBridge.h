// The I/O controller hub's LPC bridge, device 31 function 0 on bus 0. Besides its identity it
// holds the registers that place other parts of the chipset: GPIOBASE and GPIO_EN (where the
// GPIO block decodes in I/O space), RCBA (where the chipset register block decodes in memory)
// and BIOS_CNTL (write protection of the flash).
#pragma once

#include <cstdint>
#include <functional>

#include "sim/hw/PciFunction.h"

namespace sim {

class LpcBridge : public PciFunction {
 public:
  static constexpr uint8_t kBus = 0, kDevice = 31, kFunction = 0;
  static constexpr uint16_t kVendorId = 0x8086;
  static constexpr uint16_t kDeviceId = 0x3A18;

  static constexpr uint16_t kGpioBase = 0x48;   // 32-bit: 15:7 base, bit 0 reads 1 (I/O)
  static constexpr uint16_t kGpioControl = 0x4C;  // 8-bit: bit 4 GPIO_EN
  static constexpr uint16_t kBiosControl = 0xDC;  // 8-bit
  static constexpr uint16_t kRcba = 0xF0;       // 32-bit: 31:14 base, bit 0 enable

  static constexpr uint32_t kGpioBaseMask = 0xFF80;
  static constexpr uint8_t kGpioEnable = 0x10;
  static constexpr uint32_t kRcbaBaseMask = 0xFFFFC000u;
  static constexpr uint32_t kRcbaEnable = 0x1;

  // BIOS_CNTL bits.
  static constexpr uint8_t kBiosWriteEnable = 0x01;   // BIOSWE, read/write
  static constexpr uint8_t kBiosLockEnable = 0x02;    // BLE, write-once-to-1
  static constexpr uint8_t kSpiReadConfig = 0x0C;     // SRC, read/write
  static constexpr uint8_t kTopSwapStatus = 0x10;     // TSS, read-only strap
  static constexpr uint8_t kSmmBiosWriteProtect = 0x20;  // SMM_BWP, write-once-to-1
  static constexpr uint8_t kBiosControlDefined = 0x3F;   // 7:6 reserved, read 0

  LpcBridge();

  // Called after a processor write changes GPIOBASE, GPIO_EN or RCBA.
  void OnDecodeChanged(std::function<void()> callback) { decode_changed_ = std::move(callback); }
  // Called when a write sets BIOSWE from 0 to 1 while BLE is set (BLE as it was before the
  // write: setting both at once is not yet locked).
  void OnBiosWriteSmi(std::function<void()> callback) { bios_write_smi_ = std::move(callback); }

  void ConfigWrite(uint16_t offset, unsigned size, uint32_t value) override;

  // Direct state for tests; the presets bypass locks and side effects but keep hard-wired
  // bits, and the decode presets move the windows that follow them.
  uint8_t BiosControl() const { return Peek8(kBiosControl); }
  void PresetBiosControl(uint8_t value);
  // What an SMM handler that refuses the write does.
  void ClearBiosWriteEnable();

  uint16_t GpioBase() const { return static_cast<uint16_t>(Peek32(kGpioBase) & kGpioBaseMask); }
  bool GpioDecodeEnabled() const { return (Peek8(kGpioControl) & kGpioEnable) != 0; }
  void PresetGpioBase(uint16_t base, bool decodeEnabled = true);

  uint32_t RcbaBase() const { return Peek32(kRcba) & kRcbaBaseMask; }
  bool RcbaEnabled() const { return (Peek32(kRcba) & kRcbaEnable) != 0; }
  void PresetRcba(uint32_t value);

 protected:
  void WriteByte(uint16_t offset, uint8_t value) override;

 private:
  void NotifyDecodeChanged();

  std::function<void()> decode_changed_;
  std::function<void()> bios_write_smi_;
};

}  // namespace sim
