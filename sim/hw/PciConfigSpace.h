// The one PCI configuration space of the board and the two ways the processor reaches it:
// the legacy address/data port pair (0xCF8 / 0xCFC..0xCFF) and the memory-mapped window
// (ECAM). Both index the same functions, so a write one way reads back the other way.
#pragma once

#include <cstdint>
#include <map>

#include "sim/hw/MemoryBus.h"
#include "sim/hw/PciFunction.h"
#include "sim/hw/PortBus.h"

namespace sim {

struct PciLocation {
  uint8_t bus;
  uint8_t device;    // 0..31
  uint8_t function;  // 0..7
};

class PciConfigSpace {
 public:
  // The function stays owned by the caller and must outlive the space's use of it.
  void Attach(PciLocation location, PciFunction &function);
  void Detach(PciLocation location);
  PciFunction *Find(PciLocation location) const;

  // No function at the location: reads are all-ones (master abort), writes vanish.
  uint32_t Read(PciLocation location, uint16_t offset, unsigned size);
  void Write(PciLocation location, uint16_t offset, unsigned size, uint32_t value);

 private:
  static uint32_t Key(PciLocation location);
  std::map<uint32_t, PciFunction *> functions_;
};

// 0xCF8..0xCFF. The address register is 32-bit only: enable in bit 31, bus 23:16, device
// 15:11, function 10:8, dword register 7:2; bits 30:24 and 1:0 are reserved and read 0. Data
// ports 0xCFC+n are the byte lanes of the addressed dword. While enable is clear, and for
// narrow accesses to 0xCF8..0xCFB, the ports are plain I/O that nothing here decodes.
class PciConfigPorts : public PortDevice {
 public:
  static constexpr uint16_t kFirstPort = 0xCF8;
  static constexpr uint32_t kPortCount = 8;
  static constexpr uint32_t kEnable = 0x80000000u;
  static constexpr uint32_t kAddressMask = 0x80FFFFFCu;

  explicit PciConfigPorts(PciConfigSpace &space) : space_(space) {}

  uint32_t AddressLatch() const { return address_; }

  bool ReadPort(uint16_t offset, unsigned size, uint32_t &value) override;
  bool WritePort(uint16_t offset, unsigned size, uint32_t value) override;

 private:
  PciLocation Addressed() const;

  PciConfigSpace &space_;
  uint32_t address_ = 0;
};

// The memory-mapped window: offset = bus << 20 | device << 15 | function << 12 | register.
class PciExpressWindow : public MemoryDevice {
 public:
  static constexpr uint64_t kBase = 0xF0000000u;
  // 64 buses. A 256 MiB window here would cover the chipset, APIC and flash ranges at the
  // top of the 4 GiB space, which no board can decode twice.
  static constexpr uint64_t kSize = 64u << 20;

  explicit PciExpressWindow(PciConfigSpace &space) : space_(space) {}

  bool ReadMemory(uint64_t offset, unsigned size, uint32_t &value) override;
  bool WriteMemory(uint64_t offset, unsigned size, uint32_t value) override;

 private:
  static PciLocation LocationOf(uint64_t offset);

  PciConfigSpace &space_;
};

}  // namespace sim
