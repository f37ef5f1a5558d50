#include "sim/uefi/display/DisplayDevicePath.h"

namespace sim {

namespace {

void PutLe32(uint8_t *at, uint32_t value) {
  for (int i = 0; i < 4; ++i) at[i] = uint8_t(value >> (8 * i));
}

}  // namespace

DisplayDevicePath::DisplayDevicePath(uint8_t device, uint8_t function) {
  uint8_t *node = bytes_.data();
  // ACPI node: header, _HID, _UID.
  node[0] = kAcpiType;
  node[1] = kAcpiSubType;
  node[2] = 12;
  node[3] = 0;
  PutLe32(node + 4, kPciRootBridgeHid);
  PutLe32(node + 8, 0);
  node += 12;
  // PCI node: header, function, device.
  node[0] = kPciType;
  node[1] = kPciSubType;
  node[2] = 6;
  node[3] = 0;
  node[4] = function;
  node[5] = device;
  node += 6;
  node[0] = END_DEVICE_PATH_TYPE;
  node[1] = END_ENTIRE_DEVICE_PATH_SUBTYPE;
  node[2] = 4;
  node[3] = 0;
}

}  // namespace sim
