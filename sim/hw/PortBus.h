// The processor's I/O space: devices decode ranges of ports. A port nobody decodes behaves as
// on the board - reads float to all-ones and writes go nowhere - and is recorded as a fault.
#pragma once

#include <cstdint>
#include <vector>

#include "sim/hw/Faults.h"

namespace sim {

class PortDevice {
 public:
  virtual ~PortDevice() = default;
  // Offset is from the first port of the device's claim; Size is 1, 2 or 4 bytes and lies
  // wholly inside the claim. Returning false means the device does not decode this access
  // (a width it ignores, say); the bus then treats it as unclaimed.
  virtual bool ReadPort(uint16_t offset, unsigned size, uint32_t &value) = 0;
  virtual bool WritePort(uint16_t offset, unsigned size, uint32_t value) = 0;
};

// A device whose registers are single bytes: a wider access reaches it as byte accesses,
// lowest port first, the way an 8-bit bus breaks up a wide cycle.
class BytePortDevice : public PortDevice {
 public:
  bool ReadPort(uint16_t offset, unsigned size, uint32_t &value) final;
  bool WritePort(uint16_t offset, unsigned size, uint32_t value) final;

 protected:
  virtual uint8_t ReadByte(uint16_t offset) = 0;
  virtual void WriteByte(uint16_t offset, uint8_t value) = 0;
};

class PortBus {
 public:
  explicit PortBus(FaultList &faults) : faults_(faults) {}

  // False, and nothing claimed, when the range overlaps another claim or runs past 0xFFFF.
  bool Claim(uint16_t first, uint32_t count, PortDevice &device);
  void Release(const PortDevice &device);
  PortDevice *DeviceAt(uint16_t port) const;

  // Size in bytes (1, 2, 4). An access that one claim covers goes to that device whole;
  // anything else is split into byte accesses, each decoded on its own.
  uint32_t Read(uint16_t port, unsigned size);
  void Write(uint16_t port, unsigned size, uint32_t value);

 private:
  struct Claimed {
    uint32_t first;
    uint32_t count;
    PortDevice *device;
  };
  const Claimed *Covering(uint32_t port, unsigned size) const;
  bool ReadByteSplit(uint16_t port, unsigned size, uint32_t &value);
  bool WriteByteSplit(uint16_t port, unsigned size, uint32_t value);

  FaultList &faults_;
  std::vector<Claimed> claims_;
};

}  // namespace sim
