#include "sim/hw/PciConfigSpace.h"

namespace sim {

uint32_t PciConfigSpace::Key(PciLocation location) {
  return (uint32_t{location.bus} << 8) | ((location.device & 0x1Fu) << 3) |
         (location.function & 0x7u);
}

void PciConfigSpace::Attach(PciLocation location, PciFunction &function) {
  functions_[Key(location)] = &function;
}

void PciConfigSpace::Detach(PciLocation location) { functions_.erase(Key(location)); }

PciFunction *PciConfigSpace::Find(PciLocation location) const {
  auto found = functions_.find(Key(location));
  return found == functions_.end() ? nullptr : found->second;
}

uint32_t PciConfigSpace::Read(PciLocation location, uint16_t offset, unsigned size) {
  if (PciFunction *function = Find(location)) return function->ConfigRead(offset, size);
  return size >= 4 ? 0xFFFFFFFFu : (1u << (size * 8)) - 1;
}

void PciConfigSpace::Write(PciLocation location, uint16_t offset, unsigned size,
                           uint32_t value) {
  if (PciFunction *function = Find(location)) function->ConfigWrite(offset, size, value);
}

PciLocation PciConfigPorts::Addressed() const {
  return PciLocation{static_cast<uint8_t>(address_ >> 16),
                     static_cast<uint8_t>((address_ >> 11) & 0x1F),
                     static_cast<uint8_t>((address_ >> 8) & 0x7)};
}

bool PciConfigPorts::ReadPort(uint16_t offset, unsigned size, uint32_t &value) {
  if (offset < 4) {
    if (offset != 0 || size != 4) return false;
    value = address_;
    return true;
  }
  if ((address_ & kEnable) == 0) return false;
  value = space_.Read(Addressed(), static_cast<uint16_t>((address_ & 0xFC) + offset - 4), size);
  return true;
}

bool PciConfigPorts::WritePort(uint16_t offset, unsigned size, uint32_t value) {
  if (offset < 4) {
    if (offset != 0 || size != 4) return false;
    address_ = value & kAddressMask;
    return true;
  }
  if ((address_ & kEnable) == 0) return false;
  space_.Write(Addressed(), static_cast<uint16_t>((address_ & 0xFC) + offset - 4), size, value);
  return true;
}

PciLocation PciExpressWindow::LocationOf(uint64_t offset) {
  return PciLocation{static_cast<uint8_t>(offset >> 20), static_cast<uint8_t>((offset >> 15) & 0x1F),
                     static_cast<uint8_t>((offset >> 12) & 0x7)};
}

// An access that runs past the end of one function's 4 KiB is taken a byte at a time, so each
// byte reaches the function that owns it.
bool PciExpressWindow::ReadMemory(uint64_t offset, unsigned size, uint32_t &value) {
  const uint16_t reg = static_cast<uint16_t>(offset & 0xFFF);
  if (reg + size <= PciFunction::kConfigSize) {
    value = space_.Read(LocationOf(offset), reg, size);
    return true;
  }
  value = 0;
  for (unsigned i = 0; i < size; ++i) {
    const uint64_t at = offset + i;
    value |= space_.Read(LocationOf(at), static_cast<uint16_t>(at & 0xFFF), 1) << (8 * i);
  }
  return true;
}

bool PciExpressWindow::WriteMemory(uint64_t offset, unsigned size, uint32_t value) {
  const uint16_t reg = static_cast<uint16_t>(offset & 0xFFF);
  if (reg + size <= PciFunction::kConfigSize) {
    space_.Write(LocationOf(offset), reg, size, value);
    return true;
  }
  for (unsigned i = 0; i < size; ++i) {
    const uint64_t at = offset + i;
    space_.Write(LocationOf(at), static_cast<uint16_t>(at & 0xFFF), 1, (value >> (8 * i)) & 0xFF);
  }
  return true;
}

}  // namespace sim
