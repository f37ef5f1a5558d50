#include "sim/hw/PciFunction.h"

namespace sim {

PciFunction::PciFunction(uint16_t vendorId, uint16_t deviceId, uint8_t revision,
                         uint32_t classCode, uint8_t headerType) {
  Poke16(0x00, vendorId);
  Poke16(0x02, deviceId);
  Poke8(0x08, revision);
  Poke8(0x09, static_cast<uint8_t>(classCode));
  Poke8(0x0A, static_cast<uint8_t>(classCode >> 8));
  Poke8(0x0B, static_cast<uint8_t>(classCode >> 16));
  Poke8(0x0E, headerType);
}

uint32_t PciFunction::ConfigRead(uint16_t offset, unsigned size) { return Peek(offset, size); }

void PciFunction::ConfigWrite(uint16_t offset, unsigned size, uint32_t value) {
  for (unsigned i = 0; i < size; ++i) {
    WriteByte(static_cast<uint16_t>(offset + i), static_cast<uint8_t>(value >> (8 * i)));
  }
}

void PciFunction::WriteByte(uint16_t offset, uint8_t value) {
  const uint8_t mask = writable_.at(offset);
  config_[offset] = static_cast<uint8_t>((config_[offset] & ~mask) | (value & mask));
}

void PciFunction::SetWritable(uint16_t offset, unsigned size, uint32_t mask) {
  for (unsigned i = 0; i < size; ++i) writable_.at(offset + i) = static_cast<uint8_t>(mask >> (8 * i));
}

uint32_t PciFunction::Peek(uint16_t offset, unsigned size) const {
  uint32_t value = 0;
  for (unsigned i = 0; i < size; ++i) value |= static_cast<uint32_t>(config_.at(offset + i)) << (8 * i);
  return value;
}

void PciFunction::Poke(uint16_t offset, unsigned size, uint32_t value) {
  for (unsigned i = 0; i < size; ++i) config_.at(offset + i) = static_cast<uint8_t>(value >> (8 * i));
}

}  // namespace sim
