// The device path of a simulated display controller: an ACPI PCI root bridge node, a PCI
// device node and the end node, laid out as the nodes of a real path.
#pragma once

#include <array>
#include <cstdint>

#include "uefi/DevicePath.h"

namespace sim {

class DisplayDevicePath {
 public:
  static constexpr uint8_t kAcpiType = 0x02, kAcpiSubType = 0x01;  // ACPI _HID/_UID node
  static constexpr uint8_t kPciType = 0x01, kPciSubType = 0x01;    // hardware, PCI node
  static constexpr uint32_t kPciRootBridgeHid = 0x0A0341D0;        // PNP0A03, compressed EISA
  static constexpr size_t kSize = 12 + 6 + 4;

  // PCI device `device`, function `function` behind root bridge 0.
  explicit DisplayDevicePath(uint8_t device = 2, uint8_t function = 0);

  EFI_DEVICE_PATH_PROTOCOL *Path() { return reinterpret_cast<EFI_DEVICE_PATH_PROTOCOL *>(bytes_.data()); }
  const std::array<uint8_t, kSize> &Bytes() const { return bytes_; }

 private:
  std::array<uint8_t, kSize> bytes_;
};

}  // namespace sim
