// Pixel patterns for the display tests: every pixel of a screen or buffer gets its own value,
// so a pixel copied to the wrong place, or a pixel written that should not have been, shows.
#pragma once

#include <cstdint>
#include <vector>

#include "sim/uefi/display/Framebuffer.h"

namespace sim {

// Screen pixel (x, y) = 0x00yyxx01 style value: distinct, and never black.
inline EFI_GRAPHICS_OUTPUT_BLT_PIXEL ScreenPattern(uint32_t x, uint32_t y) {
  return MakePixel(0x01000000u | (y << 12) | (x << 2) | 1u);
}
// Buffer pixel (x, y): distinct from every screen pattern value (top byte 0x80).
inline EFI_GRAPHICS_OUTPUT_BLT_PIXEL BufferPattern(uint32_t x, uint32_t y) {
  return MakePixel(0x80000000u | (y << 12) | (x << 2) | 2u);
}

inline void PaintPattern(Framebuffer &screen) {
  for (uint32_t y = 0; y < screen.Height(); ++y)
    for (uint32_t x = 0; x < screen.Width(); ++x) screen.Set(x, y, ScreenPattern(x, y));
}

inline std::vector<EFI_GRAPHICS_OUTPUT_BLT_PIXEL> PatternBuffer(uint32_t width, uint32_t height) {
  std::vector<EFI_GRAPHICS_OUTPUT_BLT_PIXEL> buffer(size_t(width) * height);
  for (uint32_t y = 0; y < height; ++y)
    for (uint32_t x = 0; x < width; ++x) buffer[size_t(y) * width + x] = BufferPattern(x, y);
  return buffer;
}

inline std::vector<uint32_t> Values(const std::vector<EFI_GRAPHICS_OUTPUT_BLT_PIXEL> &pixels) {
  std::vector<uint32_t> values;
  for (const EFI_GRAPHICS_OUTPUT_BLT_PIXEL &p : pixels) values.push_back(PixelValue(p));
  return values;
}

}  // namespace sim
