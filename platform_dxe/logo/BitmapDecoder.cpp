#include "BitmapDecoder.h"

#include "../PlatformServices.h"
#include "BitmapFile.h"
#include "BitmapRows.h"
#include "BoundedReader.h"
#include "Rle8Decoder.h"

namespace {

bool IsUncompressedDepth(UINT32 BitsPerPixel) {
  return BitsPerPixel == 1 || BitsPerPixel == 4 || BitsPerPixel == 8 || BitsPerPixel == 24;
}

// Uncompressed pixel data can be read in full: every row inside the file and, for palette
// pictures, every index used by a pixel naming an entry that is inside the file too.
bool RowsFitFile(const BoundedReader &File, const BITMAP_FILE_INFO &Info,
                 const BITMAP_PALETTE &Palette) {
  const UINT64 RowBytes = BitmapRowBytes(Info.Width, Info.BitsPerPixel);
  const UINT64 Stride = BitmapRowStride(Info.Width, Info.BitsPerPixel);
  // The last row need not carry its alignment padding: only its pixel bytes are read.
  // PixelCount < 2^30 keeps this sum far from wrapping.
  if (!File.Contains(Info.PixelDataOffset, (Info.Height - 1ull) * Stride + RowBytes)) return false;
  if (Info.BitsPerPixel == 24 || Palette.Available >= (1u << Info.BitsPerPixel)) return true;

  // The palette is cut short by the end of the file: look at what the pixels use.
  for (UINT64 Row = 0; Row < Info.Height; ++Row) {
    const UINT8 *Bytes = File.Bytes(Info.PixelDataOffset + Row * Stride, RowBytes);
    if (LargestIndexInRow(Bytes, Info.Width, Info.BitsPerPixel) >= Palette.Available) return false;
  }
  return true;
}

void DecodeRows(EFI_GRAPHICS_OUTPUT_BLT_PIXEL *Buffer, bool KeepReserved, const BoundedReader &File,
                const BITMAP_FILE_INFO &Info, const BITMAP_PALETTE &Palette) {
  const UINT64 RowBytes = BitmapRowBytes(Info.Width, Info.BitsPerPixel);
  const UINT64 Stride = BitmapRowStride(Info.Width, Info.BitsPerPixel);
  ROW_COLOURS Colours;
  PrepareRowColours(Palette, Info.BitsPerPixel, Colours);
  PIXEL_WORD *Pixels = PixelWords(Buffer);
  // File rows run bottom-up: the first one is the last row of the picture.
  for (UINT64 Row = 0; Row < Info.Height; ++Row) {
    const UINT8 *In = File.Bytes(Info.PixelDataOffset + Row * Stride, RowBytes);
    PIXEL_WORD *Out = Pixels + (Info.Height - 1 - Row) * Info.Width;
    if (KeepReserved) {
      ConvertRow<true>(In, Info.Width, Info.BitsPerPixel, Colours, Out);
    } else {
      ConvertRow<false>(In, Info.Width, Info.BitsPerPixel, Colours, Out);
    }
  }
}

// Whether the pixel data can be decoded as it stands, decided before any pixel is written.
bool PixelDataIsReadable(const BoundedReader &File, const BITMAP_FILE_INFO &Info,
                         const BITMAP_PALETTE &Palette) {
  if (Info.Compression == BITMAP_COMPRESSION_RLE8)
    return Rle8CodesFitFile(File, Info, Palette.Available);
  // A picture without pixels reads nothing, so its depth never comes into question.
  if (Info.PixelCount == 0) return true;
  return IsUncompressedDepth(Info.BitsPerPixel) && RowsFitFile(File, Info, Palette);
}

}  // namespace

EFI_STATUS DecodeBitmap(const VOID *Image, UINTN ImageSize,
                        EFI_GRAPHICS_OUTPUT_BLT_PIXEL **OutBuffer, UINTN *OutBufferSize,
                        UINTN *OutHeight, UINTN *OutWidth) {
  if (Image == nullptr || OutBuffer == nullptr || OutBufferSize == nullptr ||
      OutHeight == nullptr || OutWidth == nullptr) {
    return EFI_INVALID_PARAMETER;
  }

  const BoundedReader File((const UINT8 *)Image, ImageSize);
  BITMAP_FILE_INFO Info;
  EFI_STATUS Status = ReadBitmapHeader(File, Info);
  if (EFI_ERROR(Status)) return Status;
  // Below 2^32 since the pixel count is below 2^30.
  const UINTN RequiredSize = (UINTN)(Info.PixelCount * sizeof(EFI_GRAPHICS_OUTPUT_BLT_PIXEL));

  const bool Allocating = *OutBuffer == nullptr;
  if (!Allocating && *OutBufferSize < RequiredSize) {
    *OutBufferSize = RequiredSize;
    return EFI_BUFFER_TOO_SMALL;
  }

  // Pixel data that cannot be read is refused with the outputs a caller would see had the
  // buffer been allocated and given back: its size, no buffer, the dimensions. It is not
  // actually allocated: a file of a few bytes may claim a picture of up to 4 GiB.
  BITMAP_PALETTE Palette;
  LoadBitmapPalette(File, Info, Palette);
  if (!PixelDataIsReadable(File, Info, Palette)) {
    if (Allocating) *OutBufferSize = RequiredSize;
    *OutWidth = Info.Width;
    *OutHeight = Info.Height;
    return EFI_UNSUPPORTED;
  }

  if (Allocating) {
    *OutBufferSize = RequiredSize;
    *OutBuffer = (EFI_GRAPHICS_OUTPUT_BLT_PIXEL *)AllocatePoolBuffer(RequiredSize);
    if (*OutBuffer == nullptr) return EFI_OUT_OF_RESOURCES;
  }
  *OutWidth = Info.Width;
  *OutHeight = Info.Height;

  if (Info.Compression == BITMAP_COMPRESSION_RLE8)
    return DecodeRle8(*OutBuffer, File, Info, Palette);
  // A caller's buffer keeps its reserved bytes. The decoder's own buffer gets 0 there rather
  // than whatever the pool last held, which also lets whole pixels be stored.
  if (Info.PixelCount != 0) DecodeRows(*OutBuffer, !Allocating, File, Info, Palette);
  return EFI_SUCCESS;
}
