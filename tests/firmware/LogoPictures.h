// Pictures as the logo checks handle them: decoded pixel buffers, read back from the screen,
// and compared pixel by pixel with a description of what differed.
#pragma once

#include "TextLine.h"
#include "uefi/Uefi.h"

struct Picture {
  EFI_GRAPHICS_OUTPUT_BLT_PIXEL *Pixels = nullptr;  // pool, Width x Height, top row first
  UINTN Width = 0;
  UINTN Height = 0;
};

// Decodes a bitmap file with the driver's own DecodeBitmap into a new pool buffer.
EFI_STATUS DecodePicture(EFI_BOOT_SERVICES *BootServices, const VOID *File, UINTN Size,
                         Picture *Out);

// Copies the screen rectangle (X, Y, Width x Height) into a new pool buffer.
EFI_STATUS ReadScreen(EFI_BOOT_SERVICES *BootServices, EFI_GRAPHICS_OUTPUT_PROTOCOL *Gop, UINTN X,
                      UINTN Y, UINTN Width, UINTN Height, Picture *Out);

void FreePicture(EFI_BOOT_SERVICES *BootServices, Picture *Target);

// Compares blue, green and red of every pixel (reserved bytes are anybody's). Empty Differed
// when equal; otherwise the number of differing pixels and the first few, with coordinates
// relative to the pictures' top-left corner plus (OriginX, OriginY).
void ComparePictures(const Picture &Expected, const Picture &Actual, UINTN OriginX, UINTN OriginY,
                     TextLine &Differed);

// The colour 0x00RRGGBB of a pixel.
UINT32 PixelColour(const EFI_GRAPHICS_OUTPUT_BLT_PIXEL &Pixel);
