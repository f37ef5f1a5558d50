#include "Rle8Decoder.h"

#include "BitmapPixels.h"

namespace {

constexpr UINT8 kEndOfLine = 0;
constexpr UINT8 kEndOfBitmap = 1;
constexpr UINT8 kDelta = 2;

// How many of Count pixels starting at column X fall inside a row of Width pixels.
inline UINT64 VisiblePixels(UINT64 X, UINT64 Count, UINT64 Width) {
  if (X >= Width) return 0;
  return Count < Width - X ? Count : Width - X;
}

// The walk over the codes, shared by the check and the drawing so that both stop at exactly
// the same code. Y counts file rows from the bottom and stays below Height whenever a painter
// is called. Returns false when a code the picture needs lies past the end of the file.
template <typename Painter>
bool WalkRle8(const BoundedReader &File, const BITMAP_FILE_INFO &Info, Painter &Paint) {
  ByteCursor Codes(File, Info.PixelDataOffset);
  UINT64 Y = 0;
  while (Y < Info.Height) {
    UINT64 X = 0;
    for (;;) {
      UINT8 First = 0, Second = 0;
      if (!Codes.Next(First) || !Codes.Next(Second)) return false;
      if (First != 0) {
        Paint.Run(X, Y, VisiblePixels(X, First, Info.Width), Second);
        X += First;
        continue;
      }
      if (Second == kEndOfLine) break;
      if (Second == kEndOfBitmap) return true;
      if (Second == kDelta) {
        UINT8 Right = 0, Up = 0;
        if (!Codes.Next(Right) || !Codes.Next(Up)) return false;
        X += Right;
        Y += Up;
        // Above the top row nothing more can land in the picture.
        if (Y >= Info.Height) return true;
        continue;
      }
      const UINT8 *Indices = Codes.Take(Second + (Second & 1u));
      if (Indices == nullptr) return false;
      Paint.Literal(X, Y, VisiblePixels(X, Second, Info.Width), Indices);
      X += Second;
    }
    ++Y;
  }
  return true;
}

// Finds the largest palette index among the pixels that land in the picture.
struct IndexChecker {
  UINT32 Largest = 0;
  bool Used = false;

  void Run(UINT64, UINT64, UINT64 Count, UINT8 Index) {
    if (Count == 0) return;
    Used = true;
    if (Index > Largest) Largest = Index;
  }
  void Literal(UINT64, UINT64, UINT64 Count, const UINT8 *Indices) {
    for (UINT64 i = 0; i < Count; ++i) {
      Used = true;
      if (Indices[i] > Largest) Largest = Indices[i];
    }
  }
};

// Writes whole pixel words: the buffer was cleared, so a reserved byte of 0 is what it held.
struct PixelPainter {
  PIXEL_WORD *Buffer;
  UINT64 Width, Height;
  const UINT32 *Palette;

  PIXEL_WORD *RowAt(UINT64 X, UINT64 Y) const { return Buffer + (Height - 1 - Y) * Width + X; }

  void Run(UINT64 X, UINT64 Y, UINT64 Count, UINT8 Index) {
    if (Count == 0) return;
    PIXEL_WORD *Out = RowAt(X, Y);
    const UINT32 Colour = Palette[Index];
    for (UINT64 i = 0; i < Count; ++i) Out[i] = Colour;
  }
  void Literal(UINT64 X, UINT64 Y, UINT64 Count, const UINT8 *Indices) {
    if (Count == 0) return;
    PIXEL_WORD *Out = RowAt(X, Y);
    for (UINT64 i = 0; i < Count; ++i) Out[i] = Palette[Indices[i]];
  }
};

}  // namespace

bool Rle8CodesFitFile(const BoundedReader &File, const BITMAP_FILE_INFO &Info,
                      UINT32 PaletteEntries) {
  IndexChecker Checker;
  if (!WalkRle8(File, Info, Checker)) return false;
  return !Checker.Used || Checker.Largest < PaletteEntries;
}

EFI_STATUS DecodeRle8(EFI_GRAPHICS_OUTPUT_BLT_PIXEL *Buffer, const BoundedReader &File,
                      const BITMAP_FILE_INFO &Info, const BITMAP_PALETTE &Palette) {
  PixelPainter Painter{PixelWords(Buffer), Info.Width, Info.Height, Palette.Entries};
  WalkRle8(File, Info, Painter);
  return EFI_SUCCESS;
}
