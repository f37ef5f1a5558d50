// Arithmetic of putting an image on the screen: pixel buffer sizes, placement codes and the
// test that keeps every drawing inside the screen. Sizes and positions come from image files
// and the board, so every sum and product here is checked before it is trusted.
#pragma once

#include "../../uefi/UefiBase.h"

// Width x Height pixels of 4 bytes in *Bytes; FALSE when the product does not fit 64 bits.
BOOLEAN PixelBufferBytes(UINT64 Width, UINT64 Height, UINT64 *Bytes);

// TRUE when a Width x Height rectangle at (X, Y) is not empty and lies wholly inside a
// ScreenWidth x ScreenHeight screen.
BOOLEAN FitsOnScreen(UINT64 X, UINT64 Y, UINT64 Width, UINT64 Height, UINT64 ScreenWidth,
                     UINT64 ScreenHeight);

// The top-left corner of an image by its placement code (LOGO_PLACE_*; codes above 8 act as
// left top). Unsigned arithmetic: a position a subtraction takes below zero comes out with
// its top bit set, which the caller reads as "not drawn".
void PlaceImage(UINT32 Placement, UINT64 ScreenWidth, UINT64 ScreenHeight, UINT64 Width,
                UINT64 Height, UINT64 CoordinateX, UINT64 CoordinateY, UINT64 *X, UINT64 *Y);
