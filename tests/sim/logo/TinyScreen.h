// The smallest Graphics Output that lets the animated decoder double draw: a screen of pixels
// and a Blt that copies buffers to it, refusing any rectangle that is not wholly on screen.
#pragma once

#include <vector>

#include "uefi/Uefi.h"

namespace sim::test {

class TinyScreen {
 public:
  TinyScreen(UINTN width, UINTN height) : width_(width), height_(height), pixels_(width * height) {
    binding_.protocol = EFI_GRAPHICS_OUTPUT_PROTOCOL{};
    binding_.protocol.Blt = &TinyScreen::Blt;
    binding_.owner = this;
  }
  EFI_GRAPHICS_OUTPUT_PROTOCOL *Protocol() { return &binding_.protocol; }
  EFI_GRAPHICS_OUTPUT_BLT_PIXEL At(UINTN x, UINTN y) const { return pixels_[y * width_ + x]; }
  unsigned BltCount() const { return bltCount_; }

 private:
  struct Binding {
    EFI_GRAPHICS_OUTPUT_PROTOCOL protocol;
    TinyScreen *owner;
  };
  static EFI_STATUS EFIAPI Blt(EFI_GRAPHICS_OUTPUT_PROTOCOL *self,
                               EFI_GRAPHICS_OUTPUT_BLT_PIXEL *buffer,
                               EFI_GRAPHICS_OUTPUT_BLT_OPERATION operation, UINTN sourceX,
                               UINTN sourceY, UINTN x, UINTN y, UINTN width, UINTN height,
                               UINTN delta) {
    TinyScreen &screen = *reinterpret_cast<Binding *>(self)->owner;
    ++screen.bltCount_;
    if (operation != EfiBltBufferToVideo || buffer == nullptr) return EFI_UNSUPPORTED;
    if (x > screen.width_ || width > screen.width_ - x || y > screen.height_ ||
        height > screen.height_ - y) {
      return EFI_INVALID_PARAMETER;
    }
    if (delta == 0) delta = width * sizeof *buffer;
    for (UINTN row = 0; row < height; ++row) {
      const auto *line = reinterpret_cast<const EFI_GRAPHICS_OUTPUT_BLT_PIXEL *>(
          reinterpret_cast<const UINT8 *>(buffer) + (sourceY + row) * delta);
      for (UINTN column = 0; column < width; ++column) {
        screen.pixels_[(y + row) * screen.width_ + x + column] = line[sourceX + column];
      }
    }
    return EFI_SUCCESS;
  }

  Binding binding_;
  UINTN width_;
  UINTN height_;
  std::vector<EFI_GRAPHICS_OUTPUT_BLT_PIXEL> pixels_;
  unsigned bltCount_ = 0;
};

inline bool SamePixel(EFI_GRAPHICS_OUTPUT_BLT_PIXEL a, EFI_GRAPHICS_OUTPUT_BLT_PIXEL b) {
  return a.Blue == b.Blue && a.Green == b.Green && a.Red == b.Red && a.Reserved == b.Reserved;
}

}  // namespace sim::test
