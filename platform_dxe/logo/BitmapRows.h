// Conversion of one uncompressed bitmap row into pixels. The caller has checked that the row's
// bytes lie inside the file; nothing here checks bounds again, so that the inner loops stay
// plain loads and stores.
#pragma once

#include "BitmapFile.h"
#include "BitmapPixels.h"

// Bytes a row of Width pixels occupies before its alignment padding.
constexpr UINT64 BitmapRowBytes(UINT64 Width, UINT32 BitsPerPixel) {
  return (Width * BitsPerPixel + 7) / 8;
}
// Distance from one row to the next: rows start on 4-byte boundaries.
constexpr UINT64 BitmapRowStride(UINT64 Width, UINT32 BitsPerPixel) {
  return (BitmapRowBytes(Width, BitsPerPixel) + 3) & ~3ull;
}

// Palette colours arranged for the row loops: a byte of a 4-bit row maps to one pixel pair,
// a nibble of a 1-bit row to two pairs.
struct ROW_COLOURS {
  const UINT32 *Single;  // 256 entries: the palette
  UINT64 Nibbles[256];   // 4 bits per pixel: byte -> (high nibble, low nibble) pair
  UINT64 Bits[16][2];    // 1 bit per pixel: nibble -> four pixels, top bit first
};
void PrepareRowColours(const BITMAP_PALETTE &Palette, UINT32 BitsPerPixel, ROW_COLOURS &Colours);

// Each writes Width pixels to Out. KeepReserved: see PutColour.
template <bool KeepReserved>
void ConvertRow(const UINT8 *Row, UINTN Width, UINT32 BitsPerPixel, const ROW_COLOURS &Colours,
                PIXEL_WORD *Out);

// The largest palette index the Width pixels of a 1-, 4- or 8-bit row use.
UINT32 LargestIndexInRow(const UINT8 *Row, UINTN Width, UINT32 BitsPerPixel);
