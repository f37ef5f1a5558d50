#include "Rle8Decoder.h"

#include "../ModuleState.h"
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
      const UINT8 *Code = Codes.Take(2);
      if (Code == nullptr) return false;
      const UINT8 First = Code[0], Second = Code[1];
      if (First != 0) {
        Paint.Run(X, Y, VisiblePixels(X, First, Info.Width), Second);
        X += First;
        continue;
      }
      if (Second == kEndOfLine) break;
      if (Second == kEndOfBitmap) return true;
      if (Second == kDelta) {
        const UINT8 *Move = Codes.Take(2);
        if (Move == nullptr) return false;
        X += Move[0];
        Y += Move[1];
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

// Finds the largest palette index among the pixels that land in the picture. With the whole
// palette inside the file any index will do, and only the codes are walked.
struct IndexChecker {
  bool CheckIndices;
  UINT32 Largest = 0;
  bool Used = false;

  void Run(UINT64, UINT64, UINT64 Count, UINT8 Index) {
    if (!CheckIndices || Count == 0) return;
    Used = true;
    if (Index > Largest) Largest = Index;
  }
  void Literal(UINT64, UINT64, UINT64 Count, const UINT8 *Indices) {
    if (!CheckIndices) return;
    for (UINT64 i = 0; i < Count; ++i) {
      Used = true;
      if (Indices[i] > Largest) Largest = Indices[i];
    }
  }
};

// Writes whole pixel words, reserved byte 0. Codes only ever move forward through the
// picture (rightwards along a file row, then up), so every pixel that no code reaches lies in
// a gap between two written spans, or after the last one: the painter clears each gap as it
// passes it, and the rest at the end, instead of clearing the whole buffer first.
struct PixelPainter {
  PIXEL_WORD *Buffer;
  UINT64 Width, Height;
  const UINT32 *Palette;
  // The first pixel not yet written or cleared: column NextX of file row NextY.
  UINT64 NextX = 0, NextY = 0;

  PIXEL_WORD *At(UINT64 X, UINT64 Y) const { return Buffer + (Height - 1 - Y) * Width + X; }

  static void Clear(PIXEL_WORD *From, UINT64 Pixels) {
    if (Pixels != 0) DxeModule.BootServices->SetMem(From, Pixels * sizeof(UINT32), 0);
  }

  // Clears every pixel from the next one up to column X of file row Y (X <= Width).
  void ClearUpTo(UINT64 X, UINT64 Y) {
    if (NextY < Y) {
      Clear(At(NextX, NextY), Width - NextX);
      // File rows NextY + 1 to Y - 1 are one block of the buffer, the highest row first.
      if (Y - NextY > 1) Clear(At(0, Y - 1), (Y - NextY - 1) * Width);
      NextX = 0;
      NextY = Y;
    }
    Clear(At(NextX, Y), X - NextX);
    NextX = X;
  }

  // Clears what no code reached once the codes are done.
  void Finish() {
    if (NextY >= Height) return;
    ClearUpTo(Width, NextY);
    if (NextY + 1 < Height) Clear(Buffer, (Height - 1 - NextY) * Width);
    NextY = Height;
  }

  void Run(UINT64 X, UINT64 Y, UINT64 Count, UINT8 Index) {
    if (Count == 0) return;
    ClearUpTo(X, Y);
    PIXEL_WORD *Out = At(X, Y);
    const UINT32 Colour = Palette[Index];
    const UINT64 Pair = PairOf(Colour, Colour);
    UINT64 i = 0;
    // Short runs are the common case, and a loop whose length changes from run to run costs a
    // mispredicted branch each time. When the row has room, the run is written in whole groups
    // of eight: the up to seven pixels past its end are still ahead of NextX, so the next
    // code or Finish overwrites or clears them.
    if (X + ((Count + 7) & ~7ull) <= Width) {
      for (; i < Count; i += 8) {
        PutPair<false>(Out + i, Pair);
        PutPair<false>(Out + i + 2, Pair);
        PutPair<false>(Out + i + 4, Pair);
        PutPair<false>(Out + i + 6, Pair);
      }
      NextX = X + Count;
      return;
    }
    for (; i + 8 <= Count; i += 8) {
      PutPair<false>(Out + i, Pair);
      PutPair<false>(Out + i + 2, Pair);
      PutPair<false>(Out + i + 4, Pair);
      PutPair<false>(Out + i + 6, Pair);
    }
    for (; i + 2 <= Count; i += 2) PutPair<false>(Out + i, Pair);
    if (i < Count) Out[i] = Colour;
    NextX = X + Count;
  }

  void Literal(UINT64 X, UINT64 Y, UINT64 Count, const UINT8 *Indices) {
    if (Count == 0) return;
    ClearUpTo(X, Y);
    PIXEL_WORD *Out = At(X, Y);
    UINT64 i = 0;
    for (; i + 2 <= Count; i += 2)
      PutPair<false>(Out + i, PairOf(Palette[Indices[i]], Palette[Indices[i + 1]]));
    if (i < Count) Out[i] = Palette[Indices[i]];
    NextX = X + Count;
  }
};

}  // namespace

bool Rle8CodesFitFile(const BoundedReader &File, const BITMAP_FILE_INFO &Info,
                      UINT32 PaletteEntries) {
  IndexChecker Checker{PaletteEntries < BITMAP_PALETTE_CAPACITY};
  if (!WalkRle8(File, Info, Checker)) return false;
  return !Checker.Used || Checker.Largest < PaletteEntries;
}

EFI_STATUS DecodeRle8(EFI_GRAPHICS_OUTPUT_BLT_PIXEL *Buffer, const BoundedReader &File,
                      const BITMAP_FILE_INFO &Info, const BITMAP_PALETTE &Palette) {
  PixelPainter Painter{PixelWords(Buffer), Info.Width, Info.Height, Palette.Entries};
  WalkRle8(File, Info, Painter);
  Painter.Finish();
  return EFI_SUCCESS;
}
