#include "sim/uefi/logo/BitmapFile.h"

#include <cstddef>

namespace sim {

namespace {

void PutLittleEndian(std::vector<uint8_t> &bytes, size_t offset, uint32_t value, int width) {
  for (int i = 0; i < width; ++i) bytes[offset + i] = static_cast<uint8_t>(value >> (8 * i));
}

}  // namespace

std::vector<uint8_t> MakeBitmapFile(uint32_t width, uint32_t height,
                                    const std::function<uint32_t(uint32_t, uint32_t)> &rgbAt,
                                    uint16_t markerX, uint16_t markerY) {
  const uint32_t rowBytes = (width * 3 + 3) & ~3u;
  const uint32_t dataOffset = 14 + 40;
  std::vector<uint8_t> bytes(dataOffset + size_t{rowBytes} * height, 0);
  bytes[0] = 'B';
  bytes[1] = 'M';
  PutLittleEndian(bytes, 2, static_cast<uint32_t>(bytes.size()), 4);
  PutLittleEndian(bytes, 6, markerX, 2);
  PutLittleEndian(bytes, 8, markerY, 2);
  PutLittleEndian(bytes, 10, dataOffset, 4);
  PutLittleEndian(bytes, 14, 40, 4);
  PutLittleEndian(bytes, 18, width, 4);
  PutLittleEndian(bytes, 22, height, 4);
  PutLittleEndian(bytes, 26, 1, 2);   // planes
  PutLittleEndian(bytes, 28, 24, 2);  // bits per pixel
  PutLittleEndian(bytes, 34, static_cast<uint32_t>(size_t{rowBytes} * height), 4);
  for (uint32_t row = 0; row < height; ++row) {
    for (uint32_t column = 0; column < width; ++column) {
      const size_t at = dataOffset + size_t{row} * rowBytes + size_t{column} * 3;
      const uint32_t rgb = rgbAt(column, row);
      bytes[at] = static_cast<uint8_t>(rgb);
      bytes[at + 1] = static_cast<uint8_t>(rgb >> 8);
      bytes[at + 2] = static_cast<uint8_t>(rgb >> 16);
    }
  }
  return bytes;
}

}  // namespace sim
