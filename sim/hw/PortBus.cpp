#include "sim/hw/PortBus.h"

#include <algorithm>

namespace sim {

namespace {
uint32_t AllOnes(unsigned size) { return size >= 4 ? 0xFFFFFFFFu : (1u << (size * 8)) - 1; }
}  // namespace

bool BytePortDevice::ReadPort(uint16_t offset, unsigned size, uint32_t &value) {
  value = 0;
  for (unsigned i = 0; i < size; ++i) {
    value |= static_cast<uint32_t>(ReadByte(static_cast<uint16_t>(offset + i))) << (8 * i);
  }
  return true;
}

bool BytePortDevice::WritePort(uint16_t offset, unsigned size, uint32_t value) {
  for (unsigned i = 0; i < size; ++i) {
    WriteByte(static_cast<uint16_t>(offset + i), static_cast<uint8_t>(value >> (8 * i)));
  }
  return true;
}

bool PortBus::Claim(uint16_t first, uint32_t count, PortDevice &device) {
  if (count == 0 || first + count > 0x10000u) return false;
  for (const Claimed &claim : claims_) {
    if (first < claim.first + claim.count && claim.first < first + count) return false;
  }
  claims_.push_back(Claimed{first, count, &device});
  return true;
}

void PortBus::Release(const PortDevice &device) {
  claims_.erase(std::remove_if(claims_.begin(), claims_.end(),
                               [&device](const Claimed &claim) {
                                 return claim.device == &device;
                               }),
                claims_.end());
}

PortDevice *PortBus::DeviceAt(uint16_t port) const {
  const Claimed *claim = Covering(port, 1);
  return claim ? claim->device : nullptr;
}

const PortBus::Claimed *PortBus::Covering(uint32_t port, unsigned size) const {
  for (const Claimed &claim : claims_) {
    if (port >= claim.first && port + size <= claim.first + claim.count) return &claim;
  }
  return nullptr;
}

uint32_t PortBus::Read(uint16_t port, unsigned size) {
  uint32_t value = 0;
  bool decoded;
  if (const Claimed *claim = Covering(port, size)) {
    decoded = claim->device->ReadPort(static_cast<uint16_t>(port - claim->first), size, value);
    if (!decoded) value = AllOnes(size);
  } else {
    decoded = ReadByteSplit(port, size, value);
  }
  if (!decoded) faults_.Record(FaultKind::UnclaimedPort, port, size * 8, "read");
  return value;
}

void PortBus::Write(uint16_t port, unsigned size, uint32_t value) {
  bool decoded;
  if (const Claimed *claim = Covering(port, size)) {
    decoded = claim->device->WritePort(static_cast<uint16_t>(port - claim->first), size, value);
  } else {
    decoded = WriteByteSplit(port, size, value);
  }
  if (!decoded) faults_.Record(FaultKind::UnclaimedPort, port, size * 8, "write");
}

// Each byte the bus cannot place floats high; the access counts as undecoded if any did.
bool PortBus::ReadByteSplit(uint16_t port, unsigned size, uint32_t &value) {
  bool all = true;
  value = 0;
  for (unsigned i = 0; i < size; ++i) {
    uint32_t byte = 0xFF;
    const Claimed *claim = Covering(port + i, 1);
    if (claim == nullptr ||
        !claim->device->ReadPort(static_cast<uint16_t>(port + i - claim->first), 1, byte)) {
      byte = 0xFF;
      all = false;
    }
    value |= (byte & 0xFF) << (8 * i);
  }
  return all;
}

bool PortBus::WriteByteSplit(uint16_t port, unsigned size, uint32_t value) {
  bool all = true;
  for (unsigned i = 0; i < size; ++i) {
    const Claimed *claim = Covering(port + i, 1);
    if (claim == nullptr ||
        !claim->device->WritePort(static_cast<uint16_t>(port + i - claim->first), 1,
                                  (value >> (8 * i)) & 0xFF)) {
      all = false;
    }
  }
  return all;
}

}  // namespace sim
