#include "BitmapRows.h"

namespace {

template <bool KeepReserved>
void ConvertRow1(const UINT8 *Row, UINTN Width, const ROW_COLOURS &C, PIXEL_WORD *Out) {
  UINTN X = 0;
  // Bit 7 is the leftmost pixel.
  for (; X + 8 <= Width; X += 8, Out += 8) {
    UINT32 Bits = *Row++;
    PutPair<KeepReserved>(Out, C.Bits[Bits >> 4][0]);
    PutPair<KeepReserved>(Out + 2, C.Bits[Bits >> 4][1]);
    PutPair<KeepReserved>(Out + 4, C.Bits[Bits & 0x0F][0]);
    PutPair<KeepReserved>(Out + 6, C.Bits[Bits & 0x0F][1]);
  }
  if (X < Width) {
    UINT32 Bits = *Row;
    for (UINTN i = 0; X + i < Width; ++i)
      PutColour<KeepReserved>(Out + i, C.Single[(Bits >> (7 - i)) & 1u]);
  }
}

template <bool KeepReserved>
void ConvertRow4(const UINT8 *Row, UINTN Width, const ROW_COLOURS &C, PIXEL_WORD *Out) {
  UINTN X = 0;
  for (; X + 8 <= Width; X += 8, Row += 4, Out += 8) {
    PutPair<KeepReserved>(Out, C.Nibbles[Row[0]]);
    PutPair<KeepReserved>(Out + 2, C.Nibbles[Row[1]]);
    PutPair<KeepReserved>(Out + 4, C.Nibbles[Row[2]]);
    PutPair<KeepReserved>(Out + 6, C.Nibbles[Row[3]]);
  }
  for (; X + 2 <= Width; X += 2, Out += 2) PutPair<KeepReserved>(Out, C.Nibbles[*Row++]);
  // An odd row ends in the high nibble of its last byte; the low nibble is padding.
  if (X < Width) PutColour<KeepReserved>(Out, C.Single[*Row >> 4]);
}

template <bool KeepReserved>
void ConvertRow8(const UINT8 *Row, UINTN Width, const ROW_COLOURS &C, PIXEL_WORD *Out) {
  const UINT32 *P = C.Single;
  UINTN X = 0;
  for (; X + 8 <= Width; X += 8, Row += 8, Out += 8) {
    PutPair<KeepReserved>(Out, PairOf(P[Row[0]], P[Row[1]]));
    PutPair<KeepReserved>(Out + 2, PairOf(P[Row[2]], P[Row[3]]));
    PutPair<KeepReserved>(Out + 4, PairOf(P[Row[4]], P[Row[5]]));
    PutPair<KeepReserved>(Out + 6, PairOf(P[Row[6]], P[Row[7]]));
  }
  for (; X < Width; ++X) PutColour<KeepReserved>(Out++, P[*Row++]);
}

template <bool KeepReserved>
void ConvertRow24(const UINT8 *Row, UINTN Width, PIXEL_WORD *Out) {
  constexpr UINT64 Low = 0x0000000000FFFFFFull, High = 0x00FFFFFF00000000ull;
  UINTN X = 0;
  // Eight pixels are 24 file bytes, three 64-bit words:
  //   A = B0 G0 R0 B1 G1 R1 B2 G2 | B = R2 B3 G3 R3 B4 G4 R4 B5 | C = G5 R5 B6 G6 R6 B7 G7 R7
  for (; X + 8 <= Width; X += 8, Row += 24, Out += 8) {
    UINT64 A = LoadPair(Row), B = LoadPair(Row + 8), C = LoadPair(Row + 16);
    PutPair<KeepReserved>(Out, (A & Low) | ((A << 8) & High));
    PutPair<KeepReserved>(Out + 2, (A >> 48) | ((B << 16) & 0xFF0000u) | ((B << 24) & High));
    PutPair<KeepReserved>(
        Out + 4, ((B >> 32) & Low) | ((B >> 56) << 32) | ((C << 40) & 0x00FFFF0000000000ull));
    PutPair<KeepReserved>(Out + 6, ((C >> 16) & Low) | ((C >> 8) & High));
  }
  for (; X < Width; ++X, Row += 3)
    PutColour<KeepReserved>(Out++, (UINT32)Row[0] | ((UINT32)Row[1] << 8) | ((UINT32)Row[2] << 16));
}

}  // namespace

void PrepareRowColours(const BITMAP_PALETTE &Palette, UINT32 BitsPerPixel, ROW_COLOURS &Colours) {
  const UINT32 *P = Palette.Entries;
  Colours.Single = P;
  if (BitsPerPixel == 4) {
    for (UINT32 Byte = 0; Byte < 256; ++Byte)
      Colours.Nibbles[Byte] = PairOf(P[Byte >> 4], P[Byte & 0x0F]);
  } else if (BitsPerPixel == 1) {
    for (UINT32 Nibble = 0; Nibble < 16; ++Nibble) {
      Colours.Bits[Nibble][0] = PairOf(P[(Nibble >> 3) & 1], P[(Nibble >> 2) & 1]);
      Colours.Bits[Nibble][1] = PairOf(P[(Nibble >> 1) & 1], P[Nibble & 1]);
    }
  }
}

template <bool KeepReserved>
void ConvertRow(const UINT8 *Row, UINTN Width, UINT32 BitsPerPixel, const ROW_COLOURS &Colours,
                PIXEL_WORD *Out) {
  switch (BitsPerPixel) {
    case 1: ConvertRow1<KeepReserved>(Row, Width, Colours, Out); break;
    case 4: ConvertRow4<KeepReserved>(Row, Width, Colours, Out); break;
    case 8: ConvertRow8<KeepReserved>(Row, Width, Colours, Out); break;
    default: ConvertRow24<KeepReserved>(Row, Width, Out); break;
  }
}

template void ConvertRow<true>(const UINT8 *, UINTN, UINT32, const ROW_COLOURS &, PIXEL_WORD *);
template void ConvertRow<false>(const UINT8 *, UINTN, UINT32, const ROW_COLOURS &, PIXEL_WORD *);

UINT32 LargestIndexInRow(const UINT8 *Row, UINTN Width, UINT32 BitsPerPixel) {
  UINT32 Largest = 0;
  if (BitsPerPixel == 8) {
    for (UINTN X = 0; X < Width; ++X) Largest = Row[X] > Largest ? Row[X] : Largest;
  } else if (BitsPerPixel == 4) {
    for (UINTN X = 0; X < Width; ++X) {
      UINT32 Index = (X & 1) ? (Row[X / 2] & 0x0Fu) : (Row[X / 2] >> 4);
      Largest = Index > Largest ? Index : Largest;
    }
  } else {
    for (UINTN X = 0; X < Width; ++X) Largest |= (Row[X / 8] >> (7 - X % 8)) & 1u;
  }
  return Largest;
}
