// Pixels as little-endian words: blue in bits 0-7, green 8-15, red 16-23, reserved 24-31, the
// layout of EFI_GRAPHICS_OUTPUT_BLT_PIXEL on x86. Rows are converted a pair of pixels at a
// time: one 64-bit store per two pixels, with no vector registers (firmware code may not use
// them).
#pragma once

#include "../../uefi/GraphicsOutput.h"

// May alias the pixel structure and file bytes, at any alignment (a caller's pixel buffer is
// only byte-aligned by type); on x86 such accesses cost nothing over aligned ones.
typedef UINT32 __attribute__((may_alias, aligned(1))) PIXEL_WORD;
typedef UINT64 __attribute__((may_alias, aligned(1))) PIXEL_PAIR;

constexpr UINT32 PIXEL_RESERVED_MASK = 0xFF000000u;
constexpr UINT64 PIXEL_PAIR_RESERVED_MASK = 0xFF000000FF000000ull;

inline PIXEL_WORD *PixelWords(EFI_GRAPHICS_OUTPUT_BLT_PIXEL *Pixels) {
  return (PIXEL_WORD *)Pixels;
}

inline UINT32 LoadWord(const UINT8 *Bytes) { return *(const PIXEL_WORD *)Bytes; }
inline UINT64 LoadPair(const UINT8 *Bytes) { return *(const PIXEL_PAIR *)Bytes; }

inline UINT64 PairOf(UINT32 Left, UINT32 Right) { return (UINT64)Left | ((UINT64)Right << 32); }

// Stores colours (reserved bits 0). KeepReserved: the pixels' reserved bytes stay as they
// were; otherwise they become 0.
template <bool KeepReserved>
inline void PutColour(PIXEL_WORD *Pixel, UINT32 Colour) {
  *Pixel = KeepReserved ? (*Pixel & PIXEL_RESERVED_MASK) | Colour : Colour;
}
template <bool KeepReserved>
inline void PutPair(PIXEL_WORD *Pixels, UINT64 Colours) {
  PIXEL_PAIR *Pair = (PIXEL_PAIR *)Pixels;
  *Pair = KeepReserved ? (*Pair & PIXEL_PAIR_RESERVED_MASK) | Colours : Colours;
}
