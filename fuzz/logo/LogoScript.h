// How the logo images fuzzer reads its input: a few settings, then a list of images for the
// scripted logo source.
//
//   byte 0   settings: bit 0 the format 5 decoder asks for blending; bit 1 the logo source
//            wants the screen at the image's size; bit 2 the platform has the boot logo
//            protocol (the hand-off is tried first); bit 3 the console turns to text after a
//            few GetMode calls; bits 4..5 how many badge strings the source has (0..3); bit 6
//            every decoder double succeeds without pixels; bit 7 the first decode of each
//            decoder fails.
//   byte 1   bits 0..3 animation steps before an animation ends; bits 4..7 GetMode calls
//            before the console turns to text.
//   then per image (at most kMaxImages):
//     type     low nibble 0..6 logo, 7..13 overlay, 14 hand-off, 15 the high nibble as type
//     format   bits 0..2 the format code (0..7); bit 3 set: synthesise a sound image from the
//              payload instead of passing the payload as it is
//     place    placement code, modulo 11
//     cx, cy   coordinates: 0..239 as they are, 240..255 the negative values -16..-1
//     length   UINT16, little-endian, cut to what is left
//     payload  length bytes
//   A synthesised image reads its payload as width, height (1..24 each), frames (1..3), a
//   colour, marker x, marker y and a flag byte (bit 0: a JPEG image carries a "COL$" marker);
//   missing payload bytes count as zero. Format 0 becomes a 24-bit bitmap whose reserved
//   header words hold the marker, the other formats TIMG images (the board decoders' format).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "uefi/Uefi.h"

namespace logo_fuzz {

constexpr size_t kMaxImages = 8;

struct ScriptedImage {
  uint32_t Type;
  uint32_t Format;
  uint32_t Placement;
  UINTN X;
  UINTN Y;
  std::vector<uint8_t> Bytes;
};

struct LogoScript {
  bool Blend = false;
  bool UseImageResolution = false;
  bool BootLogoProtocol = false;
  bool TextAfterGetModes = false;
  unsigned BadgeStrings = 0;
  bool DecodersGiveNoPixels = false;
  bool FirstDecodeFails = false;
  unsigned AnimationSteps = 0;
  unsigned GetModesBeforeText = 1;
  std::vector<ScriptedImage> Images;
};

LogoScript ReadLogoScript(const uint8_t *data, size_t size);

// A bottom-up 24-bit bitmap file of one colour whose reserved header words (byte offsets 6
// and 8) hold the marker position.
std::vector<uint8_t> MakeBitmap(uint32_t width, uint32_t height, uint8_t colour, uint16_t markerX,
                                uint16_t markerY);

}  // namespace logo_fuzz
