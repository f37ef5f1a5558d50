#include "BitmapRows.h"

void ConvertRow1(const UINT8 *Row, UINTN Width, const UINT32 *Palette, PIXEL_WORD *Out) {
  const UINT32 Colour0 = Palette[0], Flip = Palette[0] ^ Palette[1];
  UINTN X = 0;
  // Bit 7 is the leftmost pixel. Choosing between two colours by mask avoids a branch per bit.
  for (; X + 8 <= Width; X += 8, Out += 8) {
    UINT32 Bits = *Row++;
    for (int Bit = 7; Bit >= 0; --Bit) {
      PutColour(Out[7 - Bit], Colour0 ^ (Flip & (0u - ((Bits >> Bit) & 1u))));
    }
  }
  if (X < Width) {
    UINT32 Bits = *Row;
    for (UINTN i = 0; X + i < Width; ++i) {
      PutColour(Out[i], Colour0 ^ (Flip & (0u - ((Bits >> (7 - i)) & 1u))));
    }
  }
}

void ConvertRow4(const UINT8 *Row, UINTN Width, const UINT32 *Palette, PIXEL_WORD *Out) {
  UINTN X = 0;
  for (; X + 2 <= Width; X += 2, Out += 2) {
    UINT32 Pair = *Row++;
    PutColour(Out[0], Palette[Pair >> 4]);
    PutColour(Out[1], Palette[Pair & 0x0F]);
  }
  // An odd row ends in the high nibble of its last byte; the low nibble is padding.
  if (X < Width) PutColour(Out[0], Palette[*Row >> 4]);
}

void ConvertRow8(const UINT8 *Row, UINTN Width, const UINT32 *Palette, PIXEL_WORD *Out) {
  UINTN X = 0;
  for (; X + 4 <= Width; X += 4, Row += 4) {
    UINT32 Four = LoadWord(Row);
    PutColour(Out[X], Palette[Four & 0xFF]);
    PutColour(Out[X + 1], Palette[(Four >> 8) & 0xFF]);
    PutColour(Out[X + 2], Palette[(Four >> 16) & 0xFF]);
    PutColour(Out[X + 3], Palette[Four >> 24]);
  }
  for (; X < Width; ++X) PutColour(Out[X], Palette[*Row++]);
}

void ConvertRow24(const UINT8 *Row, UINTN Width, PIXEL_WORD *Out) {
  UINTN X = 0;
  // Four pixels are twelve file bytes, three whole words: B0 G0 R0 B1 | G1 R1 B2 G2 | R2 B3 G3 R3.
  for (; X + 4 <= Width; X += 4, Row += 12) {
    UINT32 A = LoadWord(Row), B = LoadWord(Row + 4), C = LoadWord(Row + 8);
    PutColour(Out[X], A & 0x00FFFFFFu);
    PutColour(Out[X + 1], (A >> 24) | ((B & 0xFFFFu) << 8));
    PutColour(Out[X + 2], (B >> 16) | ((C & 0xFFu) << 16));
    PutColour(Out[X + 3], C >> 8);
  }
  for (; X < Width; ++X, Row += 3) {
    PutColour(Out[X], (UINT32)Row[0] | ((UINT32)Row[1] << 8) | ((UINT32)Row[2] << 16));
  }
}

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
