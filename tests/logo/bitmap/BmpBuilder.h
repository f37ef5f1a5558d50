// Builds bitmap files byte by byte for the tests, from the file layout alone: a 14-byte file
// header, an information header of the chosen size, the palette, then the pixel data.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace bitmap_test {

// Colours as the tests write them: 0xRRGGBB.
using Colour = uint32_t;

struct BmpFile {
  uint32_t Width = 0;
  uint32_t Height = 0;
  uint16_t BitsPerPixel = 8;
  uint32_t Compression = 0;
  uint32_t InfoHeaderSize = 40;
  std::vector<Colour> Palette;     // each entry written as blue, green, red, then 0
  uint8_t PaletteFourthByte = 0;   // the fourth byte of every palette entry
  std::vector<uint8_t> PixelData;  // placed right after the palette
  // When set, written into the pixel data offset field instead of the real offset.
  bool OverridePixelDataOffset = false;
  uint32_t PixelDataOffset = 0;

  std::vector<uint8_t> Bytes() const;
  // Offset of the pixel data in Bytes().
  uint32_t DataOffset() const;
};

// Packs a picture given top row first (palette indices, or 0xRRGGBB colours at 24 bits) into
// bottom-up rows, each padded to a multiple of 4 bytes with PadByte. Bits of a byte that no
// pixel uses are set from PadByte too, so a decoder reading them shows up.
std::vector<uint8_t> PackRows(const std::vector<std::vector<uint32_t>> &TopDown,
                              unsigned BitsPerPixel, uint8_t PadByte);

// Little-endian field writers, for tests that patch a built file.
void PutU16(std::vector<uint8_t> &Bytes, size_t Offset, uint16_t Value);
void PutU32(std::vector<uint8_t> &Bytes, size_t Offset, uint32_t Value);

}  // namespace bitmap_test
