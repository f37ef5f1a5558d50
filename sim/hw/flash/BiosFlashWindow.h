// The BIOS region of SPI flash as the processor sees it: mapped so that the region's last byte
// is at 0xFFFFFFFF (with no descriptor, the whole flash), at most the 16 MiB the chipset can
// decode below 4 GiB. Reads are the controller's direct reads of the parts; writes are dropped,
// as direct writes to SPI flash are.
#pragma once

#include <cstdint>

#include "sim/hw/MemoryBus.h"
#include "sim/hw/flash/SpiHostController.h"

namespace sim {

class BiosFlashWindow : public MemoryDevice {
 public:
  static constexpr uint64_t kTop = 0x100000000ull;
  static constexpr uint32_t kMaxDecoded = 16u << 20;

  explicit BiosFlashWindow(SpiHostController &controller) : controller_(controller) {}

  // Where the window lies now (follows the controller's BIOS region after a reset).
  uint64_t Base() const { return kTop - Size(); }
  uint32_t Size() const;
  // Linear flash address shown at processor address Address (inside the window).
  uint32_t LinearOf(uint64_t address) const;

  bool ReadMemory(uint64_t offset, unsigned size, uint32_t &value) override;
  bool WriteMemory(uint64_t, unsigned, uint32_t) override { return true; }
  uint8_t *Backing(uint64_t offset, uint64_t length) override;

 private:
  SpiHostController &controller_;
};

}  // namespace sim
