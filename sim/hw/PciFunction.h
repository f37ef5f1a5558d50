// One PCI function's configuration space: 4 KiB of registers, each byte with a mask of the
// bits the processor may change. The rest are read-only and read back as they were set at
// power-on (or by a test through Poke). Functions with registers that do more than hold a
// value override ConfigWrite / WriteByte.
#pragma once

#include <array>
#include <cstdint>

namespace sim {

class PciFunction {
 public:
  static constexpr uint16_t kConfigSize = 4096;

  // Fills the identification registers (vendor, device, revision, class, header type); every
  // other byte powers on as zero and read-only until SetWritable says otherwise.
  PciFunction(uint16_t vendorId, uint16_t deviceId, uint8_t revision, uint32_t classCode,
              uint8_t headerType);
  virtual ~PciFunction() = default;
  PciFunction(const PciFunction &) = delete;
  PciFunction &operator=(const PciFunction &) = delete;

  // A processor access of Size (1, 2, 4) bytes at Offset; Offset + Size <= kConfigSize.
  virtual uint32_t ConfigRead(uint16_t offset, unsigned size);
  virtual void ConfigWrite(uint16_t offset, unsigned size, uint32_t value);

  // Register state without write masks or side effects, for presetting and checking.
  uint8_t Peek8(uint16_t offset) const { return static_cast<uint8_t>(Peek(offset, 1)); }
  uint16_t Peek16(uint16_t offset) const { return static_cast<uint16_t>(Peek(offset, 2)); }
  uint32_t Peek32(uint16_t offset) const { return Peek(offset, 4); }
  void Poke8(uint16_t offset, uint8_t value) { Poke(offset, 1, value); }
  void Poke16(uint16_t offset, uint16_t value) { Poke(offset, 2, value); }
  void Poke32(uint16_t offset, uint32_t value) { Poke(offset, 4, value); }

  // Marks which bits of the Size-byte register at Offset the processor can write.
  void SetWritable(uint16_t offset, unsigned size, uint32_t mask);

 protected:
  // One byte of a processor write; the default keeps the read-only bits.
  virtual void WriteByte(uint16_t offset, uint8_t value);

  uint32_t Peek(uint16_t offset, unsigned size) const;
  void Poke(uint16_t offset, unsigned size, uint32_t value);

 private:
  std::array<uint8_t, kConfigSize> config_{};
  std::array<uint8_t, kConfigSize> writable_{};
};

}  // namespace sim
