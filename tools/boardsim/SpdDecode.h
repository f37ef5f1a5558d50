// Reads a DDR3 SPD image the way a memory initialisation would: the fields boardsim reports
// and the JEDEC CRC-16 that guards bytes 0 to 116 (or 0 to 125).
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace spd {

using Image = std::array<uint8_t, 256>;

// CRC-16 with polynomial 0x1021 and initial value 0, most significant bit first.
uint16_t Crc16(const uint8_t *data, size_t length);

struct Ddr3Summary {
  std::string MemoryType;   // "DDR3 SDRAM", or the raw code
  std::string ModuleType;   // "SO-DIMM", "UDIMM", ...
  uint64_t CapacityMiB;     // 0 when the fields are out of range
  unsigned Ranks;
  unsigned BusWidthBits;
  unsigned DeviceWidthBits;
  double CycleTimeNs;       // tCKmin
  unsigned SpeedGrade;      // data rate in MT/s: DDR3-1600 -> 1600
  std::string PartNumber;   // bytes 128-145, trailing spaces removed
  unsigned CrcCoveredBytes; // 117 or 126
  uint16_t StoredCrc;       // bytes 126 (low) and 127 (high)
  uint16_t ComputedCrc;
  bool CrcMatches() const { return StoredCrc == ComputedCrc; }
};

Ddr3Summary DecodeDdr3(const Image &image);

}  // namespace spd
