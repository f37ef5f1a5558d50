// The headers and palette of a bitmap file, read through a BoundedReader.
#pragma once

#include "../../uefi/UefiBase.h"
#include "BoundedReader.h"

// The 14-byte file header comes first; the information header follows it and announces its
// own size (40 for the original layout, 108 and 124 for the later ones that carry colour-space
// data). The palette follows the information header, whatever its size.
constexpr UINT32 BITMAP_FILE_HEADER_SIZE = 14;
constexpr UINT32 BITMAP_MIN_INFO_HEADER_SIZE = 40;
constexpr UINT32 BITMAP_COMPRESSION_NONE = 0;
constexpr UINT32 BITMAP_COMPRESSION_RLE8 = 1;
// Pictures of this many pixels or more are refused: their buffer size (pixels x 4) would not
// stay below 4 GiB.
constexpr UINT64 BITMAP_PIXEL_LIMIT = 1ull << 30;
constexpr UINT32 BITMAP_PALETTE_CAPACITY = 256;

struct BITMAP_FILE_INFO {
  UINT32 PixelDataOffset;
  UINT32 Width;
  UINT32 Height;  // rows are stored bottom-up
  UINT16 BitsPerPixel;
  UINT32 Compression;
  UINT64 PaletteOffset;  // the end of the information header
  UINT64 PixelCount;     // Width x Height, below BITMAP_PIXEL_LIMIT
};

// Palette entries as ready-made pixels (blue, green, red; reserved 0) in the little-endian
// word layout of EFI_GRAPHICS_OUTPUT_BLT_PIXEL. Entries past the end of the file are 0 and not
// counted in Available.
struct BITMAP_PALETTE {
  UINT32 Entries[BITMAP_PALETTE_CAPACITY];
  UINT32 Available;
};

// Checks the signature, the information header (at least 40 bytes, inside the file), the
// compression and the pixel count, and fills Info. EFI_UNSUPPORTED for anything else.
EFI_STATUS ReadBitmapHeader(const BoundedReader &File, BITMAP_FILE_INFO &Info);

// Converts the palette entries that lie inside the file, up to BITMAP_PALETTE_CAPACITY.
void LoadBitmapPalette(const BoundedReader &File, const BITMAP_FILE_INFO &Info,
                       BITMAP_PALETTE &Palette);
