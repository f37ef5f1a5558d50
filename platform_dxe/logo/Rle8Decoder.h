// Run-length 8-bit pixel data: pairs of bytes, read from the pixel data offset. A first byte
// n of 1 to 255 is a run of n pixels of the colour the second byte indexes; a first byte 0 is
// an escape whose second byte is 0 (end of line), 1 (end of bitmap), 2 (delta: move right and
// up by the next two bytes) or 3 to 255 (that many literal indices, padded to an even length).
#pragma once

#include "../../uefi/GraphicsOutput.h"
#include "BitmapFile.h"

// Walks the codes the way DecodeRle8 does, writing nothing. True when every code the picture
// needs lies inside the file and every pixel that lands in the picture indexes one of the
// first PaletteEntries palette entries.
bool Rle8CodesFitFile(const BoundedReader &File, const BITMAP_FILE_INFO &Info,
                      UINT32 PaletteEntries);

// Draws the picture into Buffer (Width x Height pixels, top row first): every pixel a code
// reaches gets its palette colour with reserved byte 0, every other pixel becomes all 0. A
// line ends at its end-of-line or end-of-bitmap code; pixels placed right of the picture or
// above it are dropped, never written. Reading stops at the end of the file. Always
// EFI_SUCCESS.
EFI_STATUS DecodeRle8(EFI_GRAPHICS_OUTPUT_BLT_PIXEL *Buffer, const BoundedReader &File,
                      const BITMAP_FILE_INFO &Info, const BITMAP_PALETTE &Palette);
