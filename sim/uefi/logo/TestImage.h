// "TIMG", the small image format the simulated board decoders read, so tests can build images
// for the formats the driver hands to the board (1, 3, 4 and 5) without a real codec.
//
//   bytes 0..3    "TIMG"
//   bytes 4..5    UINT16 width
//   bytes 6..7    UINT16 height
//   bytes 8..9    UINT16 marker x   (format 5 images carry their location marker here)
//   bytes 10..11  UINT16 marker y
//   bytes 12..15  UINT32 frame count (1 = a still image)
//   then frame count frames of width x height pixels (blue, green, red, reserved), row by row
//
// Everything is little-endian. Bytes after the last frame are ignored, so a test can append a
// JPEG comment segment carrying a location marker.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "uefi/GraphicsOutput.h"

namespace sim {

inline constexpr size_t kTestImageHeaderSize = 16;
// Larger images are refused as corrupt: no decoder double allocates more than this per side.
inline constexpr uint32_t kTestImageMaxSide = 16384;
inline constexpr uint32_t kTestImageMaxFrames = 256;

// A still image of one colour.
std::vector<uint8_t> MakeTestImage(uint16_t width, uint16_t height,
                                   EFI_GRAPHICS_OUTPUT_BLT_PIXEL pixel, uint16_t markerX = 0,
                                   uint16_t markerY = 0);
// One frame per colour, each frame filled with its colour (one colour: a still image).
std::vector<uint8_t> MakeTestImage(uint16_t width, uint16_t height,
                                   const std::vector<EFI_GRAPHICS_OUTPUT_BLT_PIXEL> &frameColours,
                                   uint16_t markerX = 0, uint16_t markerY = 0);
// Frames given pixel by pixel (each exactly width x height pixels).
std::vector<uint8_t> MakeTestImageFromFrames(
    uint16_t width, uint16_t height,
    const std::vector<std::vector<EFI_GRAPHICS_OUTPUT_BLT_PIXEL>> &frames, uint16_t markerX = 0,
    uint16_t markerY = 0);

// Appends a JPEG comment segment whose data are "COL$" and the marker position:
// FF FE 00 0A 'C' 'O' 'L' '$' x(2) y(2).
void AppendColMarker(std::vector<uint8_t> &image, uint16_t x, uint16_t y);

// A checked view of a TIMG image in someone else's buffer.
struct TestImageView {
  uint32_t width;
  uint32_t height;
  uint16_t markerX;
  uint16_t markerY;
  uint32_t frameCount;
  const uint8_t *firstFrame;  // frameCount frames follow, all inside the image

  size_t FrameBytes() const { return size_t{width} * height * 4; }
  const uint8_t *Frame(uint32_t index) const { return firstFrame + index * FrameBytes(); }
};

enum class TestImageError { None, NotTestImage, Corrupt };

// Reads the header of `size` bytes at `image` and checks that every frame it announces lies
// inside them. Never reads past `size`. NotTestImage: too short for a header or no "TIMG";
// Corrupt: a zero or oversized side, no frame or too many, or frames cut short.
std::optional<TestImageView> ParseTestImage(const void *image, size_t size,
                                            TestImageError *error = nullptr);

}  // namespace sim
