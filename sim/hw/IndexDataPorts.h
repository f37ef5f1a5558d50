// A byte array behind an index port and a data port, the two placed at any 8-bit ports (they
// need not be adjacent). The index port reads back the index; the data port reads or writes
// the selected byte. Indexes past the array read all-ones and ignore writes.
#pragma once

#include <cstdint>
#include <vector>

#include "sim/hw/PortBus.h"

namespace sim {

class IndexDataPorts {
 public:
  explicit IndexDataPorts(size_t size = 256, uint8_t fill = 0);

  uint8_t Byte(size_t index) const { return bytes_.at(index); }
  void SetByte(size_t index, uint8_t value) { bytes_.at(index) = value; }
  uint8_t Index() const { return index_; }
  size_t Size() const { return bytes_.size(); }

  // The two halves the board claims on its port bus.
  PortDevice &IndexPort() { return index_port_; }
  PortDevice &DataPort() { return data_port_; }

 private:
  class IndexPortDevice : public BytePortDevice {
   public:
    explicit IndexPortDevice(IndexDataPorts &owner) : owner_(owner) {}

   protected:
    uint8_t ReadByte(uint16_t) override { return owner_.index_; }
    void WriteByte(uint16_t, uint8_t value) override { owner_.index_ = value; }

   private:
    IndexDataPorts &owner_;
  };
  class DataPortDevice : public BytePortDevice {
   public:
    explicit DataPortDevice(IndexDataPorts &owner) : owner_(owner) {}

   protected:
    uint8_t ReadByte(uint16_t) override;
    void WriteByte(uint16_t, uint8_t value) override;

   private:
    IndexDataPorts &owner_;
  };

  std::vector<uint8_t> bytes_;
  uint8_t index_ = 0;
  IndexPortDevice index_port_{*this};
  DataPortDevice data_port_{*this};
};

}  // namespace sim
