// The chipset's general-purpose I/O registers: 128 bytes of I/O space at GPIOBASE, decoded
// only while GPIO_EN is set (the board moves the block when either changes). GPIOs come in
// banks of 32, each with a use-select, an I/O-select (1 = input) and a level register:
//   bank 0 (GPIO 0..31):  GPIO_USE_SEL 0x00, GP_IO_SEL 0x04, GP_LVL 0x0C
//   bank 1 (GPIO 32..63): GPIO_USE_SEL2 0x30, GP_IO_SEL2 0x34, GP_LVL2 0x38
//   bank 2 (GPIO 64..95): GPIO_USE_SEL3 0x40, GP_IO_SEL3 0x44, GP_LVL3 0x48
// A level register reads the pin level for inputs and the output latch for outputs; writes
// set the latch. Power-on: every pin an input, every pin low. The use-select registers and the
// other offsets are plain storage here (blink, invert and the like are not modelled).
#pragma once

#include <array>
#include <cstdint>

#include "sim/hw/PortBus.h"

namespace sim {

class GpioBlock : public PortDevice {
 public:
  static constexpr uint32_t kSize = 0x80;
  static constexpr unsigned kBanks = 3;
  static constexpr uint16_t kUseSelect[kBanks] = {0x00, 0x30, 0x40};
  static constexpr uint16_t kIoSelect[kBanks] = {0x04, 0x34, 0x44};
  static constexpr uint16_t kLevel[kBanks] = {0x0C, 0x38, 0x48};
  static constexpr uint16_t kGpLvl2 = 0x38;

  GpioBlock();

  // What the board drives onto the pins (matters for pins selected as inputs).
  void SetPinLevels(unsigned bank, uint32_t levels) { pins_.at(bank) = levels; }
  uint32_t PinLevels(unsigned bank) const { return pins_.at(bank); }
  void SetPinLevel(unsigned gpio, bool high);

  // The stored register at Offset (for a level register: the output latch).
  uint32_t Register(uint16_t offset) const;
  void PresetRegister(uint16_t offset, uint32_t value);

  bool ReadPort(uint16_t offset, unsigned size, uint32_t &value) override;
  bool WritePort(uint16_t offset, unsigned size, uint32_t value) override;

 private:
  uint32_t ReadDword(uint16_t offset) const;

  std::array<uint8_t, kSize> registers_{};
  std::array<uint32_t, kBanks> pins_{};
};

}  // namespace sim
