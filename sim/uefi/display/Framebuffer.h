// The pixels of one simulated screen, row after row from the top, in the block-transfer pixel
// layout (blue, green, red, reserved). Reading outside the screen throws std::out_of_range, so
// a test that asks about a pixel that does not exist fails instead of reading stray memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "uefi/GraphicsOutput.h"

namespace sim {

struct Resolution {
  uint32_t Width;
  uint32_t Height;
};

// A pixel as the 32-bit value whose bytes, lowest first, are blue, green, red and reserved
// (the form board colours arrive in), and back. Handy for readable assertions.
constexpr uint32_t PixelValue(EFI_GRAPHICS_OUTPUT_BLT_PIXEL pixel) {
  return uint32_t(pixel.Blue) | uint32_t(pixel.Green) << 8 | uint32_t(pixel.Red) << 16 |
         uint32_t(pixel.Reserved) << 24;
}
constexpr EFI_GRAPHICS_OUTPUT_BLT_PIXEL MakePixel(uint32_t value) {
  return EFI_GRAPHICS_OUTPUT_BLT_PIXEL{UINT8(value), UINT8(value >> 8), UINT8(value >> 16),
                                       UINT8(value >> 24)};
}

class Framebuffer {
 public:
  Framebuffer(uint32_t width, uint32_t height);

  // New size; every pixel black (all four bytes zero), as after a mode change.
  void Resize(uint32_t width, uint32_t height);
  uint32_t Width() const { return width_; }
  uint32_t Height() const { return height_; }

  EFI_GRAPHICS_OUTPUT_BLT_PIXEL At(uint32_t x, uint32_t y) const;
  void Set(uint32_t x, uint32_t y, EFI_GRAPHICS_OUTPUT_BLT_PIXEL pixel);
  void Fill(EFI_GRAPHICS_OUTPUT_BLT_PIXEL pixel);

  // Pixels equal to `pixel` (all four bytes) in the rectangle, which must lie on the screen.
  size_t CountInRect(uint32_t x, uint32_t y, uint32_t width, uint32_t height,
                     EFI_GRAPHICS_OUTPUT_BLT_PIXEL pixel) const;
  // True when every pixel of the rectangle equals `pixel`.
  bool RectIs(uint32_t x, uint32_t y, uint32_t width, uint32_t height,
              EFI_GRAPHICS_OUTPUT_BLT_PIXEL pixel) const;

  // The whole screen, Width() pixels per row, for block transfers and snapshots.
  EFI_GRAPHICS_OUTPUT_BLT_PIXEL *Pixels() { return pixels_.data(); }
  const std::vector<EFI_GRAPHICS_OUTPUT_BLT_PIXEL> &PixelVector() const { return pixels_; }

  // Writes the screen as an 8-bit RGB PNG (the reserved byte is not part of the picture).
  // False, with *error set when error is not null, if the file cannot be written.
  bool SavePng(const std::string &path, std::string *error) const;

 private:
  void CheckRect(uint32_t x, uint32_t y, uint32_t width, uint32_t height) const;

  uint32_t width_ = 0;
  uint32_t height_ = 0;
  std::vector<EFI_GRAPHICS_OUTPUT_BLT_PIXEL> pixels_;
};

}  // namespace sim
