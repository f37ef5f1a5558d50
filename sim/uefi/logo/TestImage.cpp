#include "sim/uefi/logo/TestImage.h"

#include <cstring>
#include <stdexcept>

namespace sim {
namespace {

void PutU16(std::vector<uint8_t> &bytes, uint16_t value) {
  bytes.push_back(static_cast<uint8_t>(value));
  bytes.push_back(static_cast<uint8_t>(value >> 8));
}

void PutU32(std::vector<uint8_t> &bytes, uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) bytes.push_back(static_cast<uint8_t>(value >> shift));
}

void PutPixel(std::vector<uint8_t> &bytes, EFI_GRAPHICS_OUTPUT_BLT_PIXEL pixel) {
  bytes.insert(bytes.end(), {pixel.Blue, pixel.Green, pixel.Red, pixel.Reserved});
}

uint16_t GetU16(const uint8_t *bytes) { return static_cast<uint16_t>(bytes[0] | bytes[1] << 8); }

uint32_t GetU32(const uint8_t *bytes) {
  return uint32_t{bytes[0]} | uint32_t{bytes[1]} << 8 | uint32_t{bytes[2]} << 16 |
         uint32_t{bytes[3]} << 24;
}

std::vector<uint8_t> Header(uint16_t width, uint16_t height, uint16_t markerX, uint16_t markerY,
                            uint32_t frames) {
  std::vector<uint8_t> bytes = {'T', 'I', 'M', 'G'};
  PutU16(bytes, width);
  PutU16(bytes, height);
  PutU16(bytes, markerX);
  PutU16(bytes, markerY);
  PutU32(bytes, frames);
  return bytes;
}

}  // namespace

std::vector<uint8_t> MakeTestImage(uint16_t width, uint16_t height,
                                   EFI_GRAPHICS_OUTPUT_BLT_PIXEL pixel, uint16_t markerX,
                                   uint16_t markerY) {
  return MakeTestImage(width, height, std::vector<EFI_GRAPHICS_OUTPUT_BLT_PIXEL>{pixel}, markerX,
                       markerY);
}

std::vector<uint8_t> MakeTestImage(uint16_t width, uint16_t height,
                                   const std::vector<EFI_GRAPHICS_OUTPUT_BLT_PIXEL> &frameColours,
                                   uint16_t markerX, uint16_t markerY) {
  std::vector<uint8_t> bytes =
      Header(width, height, markerX, markerY, static_cast<uint32_t>(frameColours.size()));
  const size_t pixels = size_t{width} * height;
  bytes.reserve(bytes.size() + frameColours.size() * pixels * 4);
  for (EFI_GRAPHICS_OUTPUT_BLT_PIXEL colour : frameColours) {
    for (size_t i = 0; i < pixels; ++i) PutPixel(bytes, colour);
  }
  return bytes;
}

std::vector<uint8_t> MakeTestImageFromFrames(
    uint16_t width, uint16_t height,
    const std::vector<std::vector<EFI_GRAPHICS_OUTPUT_BLT_PIXEL>> &frames, uint16_t markerX,
    uint16_t markerY) {
  std::vector<uint8_t> bytes =
      Header(width, height, markerX, markerY, static_cast<uint32_t>(frames.size()));
  for (const auto &frame : frames) {
    if (frame.size() != size_t{width} * height) {
      throw std::invalid_argument("MakeTestImageFromFrames: a frame is not width x height pixels");
    }
    for (EFI_GRAPHICS_OUTPUT_BLT_PIXEL pixel : frame) PutPixel(bytes, pixel);
  }
  return bytes;
}

void AppendColMarker(std::vector<uint8_t> &image, uint16_t x, uint16_t y) {
  // The segment length counts itself and the data, big-endian as JPEG segments are.
  image.insert(image.end(), {0xFF, 0xFE, 0x00, 0x0A, 'C', 'O', 'L', '$'});
  PutU16(image, x);
  PutU16(image, y);
}

std::optional<TestImageView> ParseTestImage(const void *image, size_t size, TestImageError *error) {
  auto fail = [error](TestImageError why) -> std::optional<TestImageView> {
    if (error != nullptr) *error = why;
    return std::nullopt;
  };
  if (error != nullptr) *error = TestImageError::None;
  if (image == nullptr || size < kTestImageHeaderSize) return fail(TestImageError::NotTestImage);
  const auto *bytes = static_cast<const uint8_t *>(image);
  if (std::memcmp(bytes, "TIMG", 4) != 0) return fail(TestImageError::NotTestImage);

  TestImageView view{};
  view.width = GetU16(bytes + 4);
  view.height = GetU16(bytes + 6);
  view.markerX = GetU16(bytes + 8);
  view.markerY = GetU16(bytes + 10);
  view.frameCount = GetU32(bytes + 12);
  if (view.width == 0 || view.height == 0 || view.width > kTestImageMaxSide ||
      view.height > kTestImageMaxSide) {
    return fail(TestImageError::Corrupt);
  }
  if (view.frameCount == 0 || view.frameCount > kTestImageMaxFrames) {
    return fail(TestImageError::Corrupt);
  }
  // With both sides and the frame count bounded above, this product cannot overflow 64 bits.
  const uint64_t pixelBytes = uint64_t{view.frameCount} * view.width * view.height * 4;
  if (pixelBytes > size - kTestImageHeaderSize) return fail(TestImageError::Corrupt);
  view.firstFrame = bytes + kTestImageHeaderSize;
  return view;
}

}  // namespace sim
