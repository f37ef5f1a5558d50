// Conversion of one uncompressed bitmap row into pixels. The caller has checked that the row's
// bytes lie inside the file; nothing here checks bounds again, so that the inner loops stay
// plain loads and stores.
#pragma once

#include "BitmapPixels.h"

// Bytes a row of Width pixels occupies before its alignment padding.
constexpr UINT64 BitmapRowBytes(UINT64 Width, UINT32 BitsPerPixel) {
  return (Width * BitsPerPixel + 7) / 8;
}
// Distance from one row to the next: rows start on 4-byte boundaries.
constexpr UINT64 BitmapRowStride(UINT64 Width, UINT32 BitsPerPixel) {
  return (BitmapRowBytes(Width, BitsPerPixel) + 3) & ~3ull;
}

// Each writes Width pixels to Out, keeping the reserved byte of every pixel it writes.
void ConvertRow1(const UINT8 *Row, UINTN Width, const UINT32 *Palette, PIXEL_WORD *Out);
void ConvertRow4(const UINT8 *Row, UINTN Width, const UINT32 *Palette, PIXEL_WORD *Out);
void ConvertRow8(const UINT8 *Row, UINTN Width, const UINT32 *Palette, PIXEL_WORD *Out);
void ConvertRow24(const UINT8 *Row, UINTN Width, PIXEL_WORD *Out);

// The largest palette index the Width pixels of a 1-, 4- or 8-bit row use.
UINT32 LargestIndexInRow(const UINT8 *Row, UINTN Width, UINT32 BitsPerPixel);
