#include "sim/uefi/display/Framebuffer.h"

#include <stdexcept>

namespace sim {

Framebuffer::Framebuffer(uint32_t width, uint32_t height) { Resize(width, height); }

void Framebuffer::Resize(uint32_t width, uint32_t height) {
  width_ = width;
  height_ = height;
  pixels_.assign(size_t(width) * height, EFI_GRAPHICS_OUTPUT_BLT_PIXEL{0, 0, 0, 0});
}

void Framebuffer::CheckRect(uint32_t x, uint32_t y, uint32_t width, uint32_t height) const {
  // 64-bit sums: a rectangle near UINT32_MAX must not wrap back onto the screen.
  if (uint64_t(x) + width > width_ || uint64_t(y) + height > height_) {
    throw std::out_of_range("rectangle (" + std::to_string(x) + ", " + std::to_string(y) + ") " +
                            std::to_string(width) + " x " + std::to_string(height) +
                            " is not on the " + std::to_string(width_) + " x " +
                            std::to_string(height_) + " screen");
  }
}

EFI_GRAPHICS_OUTPUT_BLT_PIXEL Framebuffer::At(uint32_t x, uint32_t y) const {
  CheckRect(x, y, 1, 1);
  return pixels_[size_t(y) * width_ + x];
}

void Framebuffer::Set(uint32_t x, uint32_t y, EFI_GRAPHICS_OUTPUT_BLT_PIXEL pixel) {
  CheckRect(x, y, 1, 1);
  pixels_[size_t(y) * width_ + x] = pixel;
}

void Framebuffer::Fill(EFI_GRAPHICS_OUTPUT_BLT_PIXEL pixel) {
  for (EFI_GRAPHICS_OUTPUT_BLT_PIXEL &p : pixels_) p = pixel;
}

size_t Framebuffer::CountInRect(uint32_t x, uint32_t y, uint32_t width, uint32_t height,
                                EFI_GRAPHICS_OUTPUT_BLT_PIXEL pixel) const {
  CheckRect(x, y, width, height);
  size_t count = 0;
  for (uint32_t row = y; row < y + height; ++row) {
    for (uint32_t column = x; column < x + width; ++column) {
      if (PixelValue(pixels_[size_t(row) * width_ + column]) == PixelValue(pixel)) ++count;
    }
  }
  return count;
}

bool Framebuffer::RectIs(uint32_t x, uint32_t y, uint32_t width, uint32_t height,
                         EFI_GRAPHICS_OUTPUT_BLT_PIXEL pixel) const {
  return CountInRect(x, y, width, height, pixel) == size_t(width) * height;
}

}  // namespace sim
