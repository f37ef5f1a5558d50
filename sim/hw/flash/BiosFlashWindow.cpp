#include "sim/hw/flash/BiosFlashWindow.h"

#include <algorithm>

namespace sim {

uint32_t BiosFlashWindow::Size() const {
  const FlashRegion bios = controller_.BiosRegion();
  if (bios.limit < bios.base) return 0;
  return std::min<uint32_t>(bios.limit - bios.base + 1, kMaxDecoded);
}

uint32_t BiosFlashWindow::LinearOf(uint64_t address) const {
  // Top-aligned: the region's last byte answers at 0xFFFFFFFF.
  const FlashRegion bios = controller_.BiosRegion();
  return static_cast<uint32_t>(bios.limit - (kTop - 1 - address));
}

bool BiosFlashWindow::ReadMemory(uint64_t offset, unsigned size, uint32_t &value) {
  const uint64_t address = Base() + offset;
  value = 0;
  for (unsigned i = 0; i < size; ++i) {
    value |= static_cast<uint32_t>(controller_.DirectRead(LinearOf(address + i))) << (8 * i);
  }
  return true;
}

uint8_t *BiosFlashWindow::Backing(uint64_t offset, uint64_t length) {
  return controller_.DirectBytes(LinearOf(Base() + offset), static_cast<uint32_t>(length));
}

}  // namespace sim
