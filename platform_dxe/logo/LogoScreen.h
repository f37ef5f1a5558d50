// The console screen the logo display draws on, and drawing one decoded image on it.
#pragma once

#include "../../uefi/Uefi.h"
#include "LogoDecoders.h"

struct LogoScreen {
  EFI_CONSOLE_CONTROL_PROTOCOL *ConsoleControl;
  EFI_GRAPHICS_OUTPUT_PROTOCOL *Gop;  // preferred
  EFI_UGA_DRAW_PROTOCOL *Uga;         // used only when there is no Graphics Output
  // The size placements are computed against: the screen's, or the size of an image the
  // board asked the screen to take.
  UINT64 Width;
  UINT64 Height;
  // UGA Draw only: the mode as GetMode reported it, or as our last SetMode set it.
  UINT32 UgaWidth;
  UINT32 UgaHeight;
  UINT32 ColourDepth;
  UINT32 RefreshRate;
};

// The size the device really has now; every drawing must fit inside it.
void ScreenBounds(const LogoScreen &Screen, UINT64 *Width, UINT64 *Height);

// Draws the image with its top-left corner at (X, Y): an animated image through its decoder
// (its context is given back afterwards, drawn or not), a format 5 image that asks for it
// blended onto the screen, anything else copied straight. Nothing is drawn unless the whole
// image fits on the screen. *Drawn tells whether a drawing call was made; the result is that
// call's status (Out of Resources when a blend's background buffer cannot be had).
EFI_STATUS DrawDecodedImage(LogoScreen &Screen, const LogoDecoders &Decoders,
                            DecodedImage *Image, UINT64 X, UINT64 Y, BOOLEAN *Drawn);
