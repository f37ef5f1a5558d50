#include "BitmapFile.h"

namespace {

constexpr UINT64 kSignatureOffset = 0;
constexpr UINT64 kPixelDataOffsetField = 10;
constexpr UINT64 kInfoHeaderSizeField = 14;
constexpr UINT64 kWidthField = 18;
constexpr UINT64 kHeightField = 22;
constexpr UINT64 kBitsPerPixelField = 28;
constexpr UINT64 kCompressionField = 30;

}  // namespace

EFI_STATUS ReadBitmapHeader(const BoundedReader &File, BITMAP_FILE_INFO &Info) {
  UINT8 First = 0, Second = 0;
  if (!File.ReadU8(kSignatureOffset, First) || !File.ReadU8(kSignatureOffset + 1, Second) ||
      First != 'B' || Second != 'M') {
    return EFI_UNSUPPORTED;
  }

  // Every field below lies inside the 40-byte information header, so once the header is known
  // to be inside the file the reads cannot fail.
  UINT32 InfoHeaderSize = 0;
  if (!File.ReadU32(kInfoHeaderSizeField, InfoHeaderSize) ||
      InfoHeaderSize < BITMAP_MIN_INFO_HEADER_SIZE ||
      !File.Contains(0, (UINT64)BITMAP_FILE_HEADER_SIZE + InfoHeaderSize)) {
    return EFI_UNSUPPORTED;
  }
  Info.PaletteOffset = (UINT64)BITMAP_FILE_HEADER_SIZE + InfoHeaderSize;
  File.ReadU32(kPixelDataOffsetField, Info.PixelDataOffset);
  File.ReadU32(kWidthField, Info.Width);
  File.ReadU32(kHeightField, Info.Height);
  File.ReadU16(kBitsPerPixelField, Info.BitsPerPixel);
  File.ReadU32(kCompressionField, Info.Compression);

  if (Info.Compression != BITMAP_COMPRESSION_NONE && Info.Compression != BITMAP_COMPRESSION_RLE8)
    return EFI_UNSUPPORTED;

  // Both factors are below 2^32, so the product is exact in 64 bits. A negative (top-down)
  // height reads as a huge unsigned value and fails here unless the width is 0.
  Info.PixelCount = (UINT64)Info.Width * Info.Height;
  if (Info.PixelCount >= BITMAP_PIXEL_LIMIT) return EFI_UNSUPPORTED;
  return EFI_SUCCESS;
}

void LoadBitmapPalette(const BoundedReader &File, const BITMAP_FILE_INFO &Info,
                       BITMAP_PALETTE &Palette) {
  Palette.Available = 0;
  for (UINT32 Index = 0; Index < BITMAP_PALETTE_CAPACITY; ++Index) {
    UINT32 Entry = 0;
    if (File.ReadU32(Info.PaletteOffset + 4ull * Index, Entry)) {
      // Blue, green, red; the entry's fourth byte is not part of the colour.
      Palette.Entries[Index] = Entry & 0x00FFFFFFu;
      Palette.Available = Index + 1;
    } else {
      Palette.Entries[Index] = 0;
    }
  }
}
