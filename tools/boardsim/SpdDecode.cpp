#include "tools/boardsim/SpdDecode.h"

#include <cmath>

namespace spd {

uint16_t Crc16(const uint8_t *data, size_t length) {
  uint16_t Crc = 0;
  for (size_t i = 0; i < length; ++i) {
    Crc ^= (uint16_t)(data[i] << 8);
    for (int bit = 0; bit < 8; ++bit) {
      Crc = (Crc & 0x8000) ? (uint16_t)((Crc << 1) ^ 0x1021) : (uint16_t)(Crc << 1);
    }
  }
  return Crc;
}

namespace {

std::string MemoryTypeName(uint8_t code) {
  switch (code) {
    case 0x0B: return "DDR3 SDRAM";
    case 0x0C: return "DDR4 SDRAM";
    case 0x08: return "DDR2 SDRAM";
    default: return "unknown (0x" + std::to_string(code) + ")";
  }
}

std::string ModuleTypeName(uint8_t code) {
  switch (code & 0x0F) {
    case 0x01: return "RDIMM";
    case 0x02: return "UDIMM";
    case 0x03: return "SO-DIMM";
    case 0x04: return "Micro-DIMM";
    case 0x05: return "Mini-RDIMM";
    case 0x06: return "Mini-UDIMM";
    default: return "other (" + std::to_string(code & 0x0F) + ")";
  }
}

}  // namespace

Ddr3Summary DecodeDdr3(const Image &image) {
  Ddr3Summary S{};
  S.MemoryType = MemoryTypeName(image[2]);
  S.ModuleType = ModuleTypeName(image[3]);

  // Capacity = die capacity / 8 * bus width / device width * ranks.
  unsigned DensityCode = image[4] & 0x0F;       // 256 Mb << code
  unsigned DeviceWidthCode = image[7] & 0x07;   // 4 << code bits
  unsigned RankCode = (image[7] >> 3) & 0x07;   // code + 1 ranks
  unsigned BusWidthCode = image[8] & 0x07;      // 8 << code bits
  S.Ranks = RankCode + 1;
  S.DeviceWidthBits = DeviceWidthCode <= 3 ? 4u << DeviceWidthCode : 0;
  S.BusWidthBits = BusWidthCode <= 3 ? 8u << BusWidthCode : 0;
  if (DensityCode <= 6 && S.DeviceWidthBits != 0 && S.BusWidthBits != 0) {
    uint64_t DieMiB = (256ull << DensityCode) / 8;
    S.CapacityMiB = DieMiB * S.BusWidthBits / S.DeviceWidthBits * S.Ranks;
  }

  // tCKmin in medium timebase units plus a signed fine correction (byte 34).
  double MtbNs = image[11] != 0 ? (double)image[10] / image[11] : 0.0;
  unsigned FtbDivisor = image[9] & 0x0F;
  double FtbPs = FtbDivisor != 0 ? (double)(image[9] >> 4) / FtbDivisor : 0.0;
  S.CycleTimeNs = image[12] * MtbNs + (int8_t)image[34] * FtbPs / 1000.0;
  // Data rate = 2 / tCK, rounded to the standard grades' whole numbers (1.25 ns -> 1600).
  S.SpeedGrade = S.CycleTimeNs > 0 ? (unsigned)std::lround(2000.0 / S.CycleTimeNs) : 0;

  S.PartNumber.assign(image.begin() + 128, image.begin() + 146);
  while (!S.PartNumber.empty() && (S.PartNumber.back() == ' ' || S.PartNumber.back() == '\0'))
    S.PartNumber.pop_back();

  S.CrcCoveredBytes = (image[0] & 0x80) ? 117 : 126;
  S.StoredCrc = (uint16_t)(image[126] | image[127] << 8);
  S.ComputedCrc = Crc16(image.data(), S.CrcCoveredBytes);
  return S;
}

}  // namespace spd
