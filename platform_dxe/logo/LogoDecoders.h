// Decoding a logo image by its format code: bitmaps here, the other formats through the
// board's decoders. Shared by the logo display and the boot logo hand-off.
#pragma once

#include "../../include/BoardLogoProtocols.h"
#include "../../uefi/Uefi.h"

// The board's decoders; any may be absent (null).
struct LogoDecoders {
  JPEG_DECODER_PROTOCOL *Jpeg;
  FORMAT4_DECODER_PROTOCOL *Format4;
  FORMAT5_DECODER_PROTOCOL *Format5;
  ANIMATED_IMAGE_DECODER_PROTOCOL *Animated;
};

void LocateLogoDecoders(LogoDecoders *Decoders);

// What a decode hands over. Pixels (Width x Height, from pool) for every format but 3, which
// yields the animated decoder's context instead; either may be null when the decoder
// succeeded without producing one.
struct DecodedImage {
  EFI_GRAPHICS_OUTPUT_BLT_PIXEL *Pixels;
  UINTN PixelsSize;
  UINTN Width;
  UINTN Height;
  ANIMATED_IMAGE_CONTEXT *Animation;
  UINT32 BlendValue;  // format 5: what Decode left for Blend
  UINT8 BlendFlag;    // format 5: nonzero when the image is to be blended onto the screen
};

// Invalid Parameter for a null image. Unsupported for format 2, codes above 5 and formats
// whose decoder is absent, and for a pixel buffer that cannot hold Width x Height pixels (it
// is freed); otherwise the decoder's error, or Success. Nothing is held after an error.
EFI_STATUS DecodeImageByFormat(const LogoDecoders &Decoders, UINT32 Format, VOID *Image,
                               UINTN ImageSize, DecodedImage *Decoded);

// Frees the pixel buffer and gives the animated context back; both end up null.
void ReleaseDecodedImage(const LogoDecoders &Decoders, DecodedImage *Decoded);
