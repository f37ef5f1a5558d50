#include "bench/bitmap/BenchImages.h"

namespace bitmap_bench {

namespace {

void Put32(std::vector<uint8_t> &Bytes, size_t At, uint32_t Value) {
  for (int i = 0; i < 4; ++i) Bytes[At + i] = (uint8_t)(Value >> (8 * i));
}

uint32_t PaletteColour(uint32_t Index) {
  return ((Index * 97u) & 0xFF) | (((Index * 29u + 64u) & 0xFF) << 8) |
         (((255 - Index) & 0xFF) << 16);
}

std::vector<uint8_t> FileWith(unsigned BitsPerPixel, uint32_t Compression, unsigned PaletteSize,
                              const std::vector<uint8_t> &PixelData) {
  const uint32_t DataOffset = 54 + 4 * PaletteSize;
  std::vector<uint8_t> File(DataOffset, 0);
  File[0] = 'B';
  File[1] = 'M';
  Put32(File, 2, DataOffset + (uint32_t)PixelData.size());
  Put32(File, 10, DataOffset);
  Put32(File, 14, 40);
  Put32(File, 18, kWidth);
  Put32(File, 22, kHeight);
  File[26] = 1;
  File[28] = (uint8_t)BitsPerPixel;
  Put32(File, 30, Compression);
  Put32(File, 34, (uint32_t)PixelData.size());
  Put32(File, 46, PaletteSize);
  for (unsigned i = 0; i < PaletteSize; ++i) Put32(File, 54 + 4 * i, PaletteColour(i));
  File.insert(File.end(), PixelData.begin(), PixelData.end());
  return File;
}

}  // namespace

std::vector<uint8_t> LogoIndices() {
  std::vector<uint8_t> Indices(kWidth * kHeight);
  uint32_t Noise = 1;
  for (uint32_t y = 0; y < kHeight; ++y) {
    for (uint32_t x = 0; x < kWidth; ++x) {
      int dx = (int)x - 960, dy = (int)y - 540;
      uint32_t Radius2 = (uint32_t)(dx * dx + dy * dy);
      uint8_t Index;
      if (Radius2 < 300u * 300u) {
        Index = (uint8_t)(16 + Radius2 / 2000);  // rings: runs of tens of pixels
      } else if (y > 800 && y < 900 && x > 400 && x < 1500) {
        Noise = Noise * 1103515245u + 12345u;
        Index = (uint8_t)(Noise >> 24);  // text-like detail: no runs at all
      } else {
        Index = (uint8_t)(y / 24 + x / 480);  // background bands: long runs
      }
      Indices[y * kWidth + x] = Index;
    }
  }
  return Indices;
}

std::vector<uint8_t> UncompressedFile(unsigned BitsPerPixel) {
  const std::vector<uint8_t> Indices = LogoIndices();
  const size_t RowBytes = ((size_t)kWidth * BitsPerPixel + 7) / 8;
  const size_t Stride = (RowBytes + 3) / 4 * 4;
  std::vector<uint8_t> Data(Stride * kHeight, 0);
  for (uint32_t y = 0; y < kHeight; ++y) {
    uint8_t *Row = Data.data() + (size_t)(kHeight - 1 - y) * Stride;
    for (uint32_t x = 0; x < kWidth; ++x) {
      uint32_t Index = Indices[y * kWidth + x];
      if (BitsPerPixel == 24) {
        uint32_t C = PaletteColour(Index);
        Row[3 * x] = (uint8_t)C;
        Row[3 * x + 1] = (uint8_t)(C >> 8);
        Row[3 * x + 2] = (uint8_t)(C >> 16);
      } else if (BitsPerPixel == 8) {
        Row[x] = (uint8_t)Index;
      } else if (BitsPerPixel == 4) {
        Row[x / 2] |= (uint8_t)((Index & 0x0F) << (x % 2 ? 0 : 4));
      } else {
        Row[x / 8] |= (uint8_t)((Index & 1) << (7 - x % 8));
      }
    }
  }
  return FileWith(BitsPerPixel, 0, BitsPerPixel == 24 ? 0 : 1u << BitsPerPixel, Data);
}

std::vector<uint8_t> RunLengthFile() {
  const std::vector<uint8_t> Indices = LogoIndices();
  std::vector<uint8_t> Codes;
  for (uint32_t y = kHeight; y-- > 0;) {
    const uint8_t *Row = Indices.data() + (size_t)y * kWidth;
    uint32_t x = 0;
    while (x < kWidth) {
      uint32_t Run = 1;
      while (x + Run < kWidth && Run < 255 && Row[x + Run] == Row[x]) ++Run;
      if (Run >= 3) {
        Codes.push_back((uint8_t)Run);
        Codes.push_back(Row[x]);
        x += Run;
        continue;
      }
      // A literal stretch up to the next run of three or more.
      uint32_t End = x;
      while (End < kWidth && End - x < 255 &&
             !(End + 2 < kWidth && Row[End] == Row[End + 1] && Row[End] == Row[End + 2]))
        ++End;
      uint32_t Count = End - x;
      if (Count < 3) {
        for (uint32_t i = 0; i < Count; ++i) {
          Codes.push_back(1);
          Codes.push_back(Row[x + i]);
        }
      } else {
        Codes.push_back(0);
        Codes.push_back((uint8_t)Count);
        Codes.insert(Codes.end(), Row + x, Row + End);
        if (Count & 1) Codes.push_back(0);
      }
      x = End;
    }
    Codes.push_back(0);
    Codes.push_back(y == 0 ? 1 : 0);
  }
  return FileWith(8, 1, 256, Codes);
}

}  // namespace bitmap_bench
