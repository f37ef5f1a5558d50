// Port 0x80: the byte the firmware writes there is its progress code. Every write is kept in
// order; a read returns the last byte written, as the port's register does.
#pragma once

#include <cstdint>
#include <vector>

#include "sim/hw/PortBus.h"

namespace sim {

class PostCodePort : public BytePortDevice {
 public:
  static constexpr uint16_t kPort = 0x80;

  const std::vector<uint8_t> &Codes() const { return codes_; }
  void Clear() { codes_.clear(); }

 protected:
  uint8_t ReadByte(uint16_t) override { return last_; }
  void WriteByte(uint16_t, uint8_t value) override {
    last_ = value;
    codes_.push_back(value);
  }

 private:
  std::vector<uint8_t> codes_;
  uint8_t last_ = 0;
};

}  // namespace sim
