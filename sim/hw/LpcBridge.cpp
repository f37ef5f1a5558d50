#include "sim/hw/LpcBridge.h"

namespace sim {

namespace {
constexpr uint16_t kCommand = 0x04;
constexpr uint16_t kStatus = 0x06;
constexpr uint32_t kClassIsaBridge = 0x060100;
constexpr uint8_t kHeaderMultiFunction = 0x80;
}  // namespace

// Registers not listed here are not modelled: they read 0 and ignore writes.
LpcBridge::LpcBridge()
    : PciFunction(kVendorId, kDeviceId, 0x00, kClassIsaBridge, kHeaderMultiFunction) {
  // I/O, memory and bus-master decode are hard-wired on for this internal bridge.
  Poke16(kCommand, 0x0007);
  Poke16(kStatus, 0x0210);
  Poke32(kGpioBase, 0x1);
  SetWritable(kGpioBase, 4, kGpioBaseMask);
  SetWritable(kGpioControl, 1, kGpioEnable);
  SetWritable(kRcba, 4, kRcbaBaseMask | kRcbaEnable);
}

void LpcBridge::ConfigWrite(uint16_t offset, unsigned size, uint32_t value) {
  const uint8_t biosBefore = Peek8(kBiosControl);
  const uint32_t gpioBefore = Peek32(kGpioBase);
  const uint8_t gpioControlBefore = Peek8(kGpioControl);
  const uint32_t rcbaBefore = Peek32(kRcba);

  PciFunction::ConfigWrite(offset, size, value);

  const bool enabledBiosWrites =
      (biosBefore & kBiosWriteEnable) == 0 && (BiosControl() & kBiosWriteEnable) != 0;
  if (enabledBiosWrites && (biosBefore & kBiosLockEnable) != 0 && bios_write_smi_) {
    bios_write_smi_();
  }
  if (Peek32(kGpioBase) != gpioBefore || Peek8(kGpioControl) != gpioControlBefore ||
      Peek32(kRcba) != rcbaBefore) {
    NotifyDecodeChanged();
  }
}

void LpcBridge::WriteByte(uint16_t offset, uint8_t value) {
  if (offset != kBiosControl) {
    PciFunction::WriteByte(offset, value);
    return;
  }
  const uint8_t before = BiosControl();
  const uint8_t lockOnce = kBiosLockEnable | kSmmBiosWriteProtect;
  const uint8_t after = static_cast<uint8_t>((value & (kBiosWriteEnable | kSpiReadConfig)) |
                                             ((before | value) & lockOnce) |
                                             (before & kTopSwapStatus));
  Poke8(kBiosControl, after);
}

void LpcBridge::PresetBiosControl(uint8_t value) {
  Poke8(kBiosControl, value & kBiosControlDefined);
}

void LpcBridge::ClearBiosWriteEnable() {
  Poke8(kBiosControl, BiosControl() & static_cast<uint8_t>(~kBiosWriteEnable));
}

void LpcBridge::PresetGpioBase(uint16_t base, bool decodeEnabled) {
  Poke32(kGpioBase, (base & kGpioBaseMask) | 0x1);
  Poke8(kGpioControl, decodeEnabled ? kGpioEnable : 0);
  NotifyDecodeChanged();
}

void LpcBridge::PresetRcba(uint32_t value) {
  Poke32(kRcba, value & (kRcbaBaseMask | kRcbaEnable));
  NotifyDecodeChanged();
}

void LpcBridge::NotifyDecodeChanged() {
  if (decode_changed_) decode_changed_();
}

}  // namespace sim
