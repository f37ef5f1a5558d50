#include "sim/hw/GpioBlock.h"

namespace sim {

GpioBlock::GpioBlock() {
  for (unsigned bank = 0; bank < kBanks; ++bank) PresetRegister(kIoSelect[bank], 0xFFFFFFFFu);
}

void GpioBlock::SetPinLevel(unsigned gpio, bool high) {
  const uint32_t bit = 1u << (gpio % 32);
  uint32_t &levels = pins_.at(gpio / 32);
  levels = high ? (levels | bit) : (levels & ~bit);
}

uint32_t GpioBlock::Register(uint16_t offset) const {
  uint32_t value = 0;
  for (unsigned i = 0; i < 4; ++i) value |= static_cast<uint32_t>(registers_.at(offset + i)) << (8 * i);
  return value;
}

void GpioBlock::PresetRegister(uint16_t offset, uint32_t value) {
  for (unsigned i = 0; i < 4; ++i) registers_.at(offset + i) = static_cast<uint8_t>(value >> (8 * i));
}

uint32_t GpioBlock::ReadDword(uint16_t offset) const {
  for (unsigned bank = 0; bank < kBanks; ++bank) {
    if (offset == kLevel[bank]) {
      const uint32_t inputs = Register(kIoSelect[bank]);
      return (pins_[bank] & inputs) | (Register(offset) & ~inputs);
    }
  }
  return Register(offset);
}

bool GpioBlock::ReadPort(uint16_t offset, unsigned size, uint32_t &value) {
  value = 0;
  for (unsigned i = 0; i < size; ++i) {
    const uint16_t at = static_cast<uint16_t>(offset + i);
    const uint32_t byte = (ReadDword(at & ~3u) >> (8 * (at & 3))) & 0xFF;
    value |= byte << (8 * i);
  }
  return true;
}

bool GpioBlock::WritePort(uint16_t offset, unsigned size, uint32_t value) {
  for (unsigned i = 0; i < size; ++i) registers_.at(offset + i) = static_cast<uint8_t>(value >> (8 * i));
  return true;
}

}  // namespace sim
