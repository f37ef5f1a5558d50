// Pixel comparison for the logo service tests (all four bytes).
#pragma once

#include "uefi/GraphicsOutput.h"

namespace sim::test {

inline bool SamePixel(EFI_GRAPHICS_OUTPUT_BLT_PIXEL a, EFI_GRAPHICS_OUTPUT_BLT_PIXEL b) {
  return a.Blue == b.Blue && a.Green == b.Green && a.Red == b.Red && a.Reserved == b.Reserved;
}

}  // namespace sim::test
