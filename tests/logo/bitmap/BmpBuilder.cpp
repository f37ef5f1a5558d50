#include "tests/logo/bitmap/BmpBuilder.h"

namespace bitmap_test {

void PutU16(std::vector<uint8_t> &Bytes, size_t Offset, uint16_t Value) {
  if (Bytes.size() < Offset + 2) Bytes.resize(Offset + 2);
  Bytes[Offset] = (uint8_t)Value;
  Bytes[Offset + 1] = (uint8_t)(Value >> 8);
}

void PutU32(std::vector<uint8_t> &Bytes, size_t Offset, uint32_t Value) {
  if (Bytes.size() < Offset + 4) Bytes.resize(Offset + 4);
  for (int i = 0; i < 4; ++i) Bytes[Offset + i] = (uint8_t)(Value >> (8 * i));
}

uint32_t BmpFile::DataOffset() const { return 14 + InfoHeaderSize + 4 * (uint32_t)Palette.size(); }

std::vector<uint8_t> BmpFile::Bytes() const {
  std::vector<uint8_t> Out(DataOffset(), 0);
  Out[0] = 'B';
  Out[1] = 'M';
  PutU32(Out, 2, DataOffset() + (uint32_t)PixelData.size());
  PutU32(Out, 10, OverridePixelDataOffset ? PixelDataOffset : DataOffset());
  PutU32(Out, 14, InfoHeaderSize);
  PutU32(Out, 18, Width);
  PutU32(Out, 22, Height);
  PutU16(Out, 26, 1);
  PutU16(Out, 28, BitsPerPixel);
  PutU32(Out, 30, Compression);
  PutU32(Out, 34, (uint32_t)PixelData.size());
  PutU32(Out, 46, (uint32_t)Palette.size());
  for (size_t i = 0; i < Palette.size(); ++i) {
    size_t At = 14 + InfoHeaderSize + 4 * i;
    Out[At] = (uint8_t)Palette[i];
    Out[At + 1] = (uint8_t)(Palette[i] >> 8);
    Out[At + 2] = (uint8_t)(Palette[i] >> 16);
    Out[At + 3] = PaletteFourthByte;
  }
  Out.insert(Out.end(), PixelData.begin(), PixelData.end());
  return Out;
}

std::vector<uint8_t> PackRows(const std::vector<std::vector<uint32_t>> &TopDown,
                              unsigned BitsPerPixel, uint8_t PadByte) {
  std::vector<uint8_t> Out;
  for (size_t r = TopDown.size(); r-- > 0;) {
    const std::vector<uint32_t> &Row = TopDown[r];
    size_t RowBytes = (Row.size() * BitsPerPixel + 7) / 8;
    size_t Stride = (RowBytes + 3) / 4 * 4;
    std::vector<uint8_t> Packed(Stride, PadByte);
    if (BitsPerPixel == 24) {
      for (size_t x = 0; x < Row.size(); ++x) {
        Packed[3 * x] = (uint8_t)Row[x];
        Packed[3 * x + 1] = (uint8_t)(Row[x] >> 8);
        Packed[3 * x + 2] = (uint8_t)(Row[x] >> 16);
      }
    } else {
      // Pixel x occupies bits [x * bpp, (x + 1) * bpp) counted from the top bit of byte 0.
      const unsigned PerByte = 8 / BitsPerPixel;
      for (size_t x = 0; x < Row.size(); ++x) {
        unsigned Shift = 8 - BitsPerPixel * (unsigned)(x % PerByte + 1);
        uint8_t Mask = (uint8_t)(((1u << BitsPerPixel) - 1) << Shift);
        uint8_t &Byte = Packed[x / PerByte];
        Byte = (uint8_t)((Byte & ~Mask) | ((Row[x] << Shift) & Mask));
      }
    }
    Out.insert(Out.end(), Packed.begin(), Packed.end());
  }
  return Out;
}

}  // namespace bitmap_test
