#include "sim/hw/IndexDataPorts.h"

namespace sim {

IndexDataPorts::IndexDataPorts(size_t size, uint8_t fill) : bytes_(size, fill) {}

uint8_t IndexDataPorts::DataPortDevice::ReadByte(uint16_t) {
  if (owner_.index_ >= owner_.bytes_.size()) return 0xFF;
  return owner_.bytes_[owner_.index_];
}

void IndexDataPorts::DataPortDevice::WriteByte(uint16_t, uint8_t value) {
  if (owner_.index_ < owner_.bytes_.size()) owner_.bytes_[owner_.index_] = value;
}

}  // namespace sim
