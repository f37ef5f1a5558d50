// Pixels as 32-bit little-endian words: blue in bits 0-7, green 8-15, red 16-23, reserved
// 24-31, the layout of EFI_GRAPHICS_OUTPUT_BLT_PIXEL on x86. Whole-word access lets a row be
// converted with one load and one store per pixel.
#pragma once

#include "../../uefi/GraphicsOutput.h"

// May alias the pixel structure and file bytes, at any alignment (a caller's pixel buffer is
// only byte-aligned by type); on x86 such a word costs nothing over an aligned one.
typedef UINT32 __attribute__((may_alias, aligned(1))) PIXEL_WORD;

constexpr UINT32 PIXEL_RESERVED_MASK = 0xFF000000u;

inline PIXEL_WORD *PixelWords(EFI_GRAPHICS_OUTPUT_BLT_PIXEL *Pixels) {
  return (PIXEL_WORD *)Pixels;
}

// Four file bytes as one little-endian word.
inline UINT32 LoadWord(const UINT8 *Bytes) { return *(const PIXEL_WORD *)Bytes; }

// Sets blue, green and red from Colour (reserved bits 0) and keeps the pixel's reserved byte.
inline void PutColour(PIXEL_WORD &Pixel, UINT32 Colour) {
  Pixel = (Pixel & PIXEL_RESERVED_MASK) | Colour;
}
