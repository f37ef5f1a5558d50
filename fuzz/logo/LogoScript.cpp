#include "fuzz/logo/LogoScript.h"

#include <algorithm>

#include "sim/uefi/logo/BitmapFile.h"
#include "sim/uefi/logo/TestImage.h"

namespace logo_fuzz {
namespace {

// Reads bytes in order; past the end every byte is zero.
class Reader {
 public:
  Reader(const uint8_t *data, size_t size) : data_(data), size_(size) {}
  bool AtEnd() const { return offset_ >= size_; }
  size_t Left() const { return AtEnd() ? 0 : size_ - offset_; }
  uint8_t Byte() { return AtEnd() ? 0 : data_[offset_++]; }
  std::vector<uint8_t> Bytes(size_t count) {
    count = std::min(count, Left());
    std::vector<uint8_t> bytes(data_ + offset_, data_ + offset_ + count);
    offset_ += count;
    return bytes;
  }

 private:
  const uint8_t *data_;
  size_t size_;
  size_t offset_ = 0;
};

UINTN Coordinate(uint8_t value) { return value < 0xF0 ? value : UINTN{0} - (0x100u - value); }

std::vector<uint8_t> Synthesise(uint32_t format, const std::vector<uint8_t> &payload) {
  Reader in(payload.data(), payload.size());
  const uint16_t width = 1 + in.Byte() % 24;
  const uint16_t height = 1 + in.Byte() % 24;
  const unsigned frames = 1 + in.Byte() % 3;
  const uint8_t colour = in.Byte();
  const uint16_t markerX = in.Byte();
  const uint16_t markerY = in.Byte();
  const uint8_t flags = in.Byte();
  if (format == 0) return MakeBitmap(width, height, colour, markerX, markerY);

  std::vector<EFI_GRAPHICS_OUTPUT_BLT_PIXEL> colours;
  for (unsigned i = 0; i < frames; ++i) {
    colours.push_back({static_cast<UINT8>(colour + 40 * i), static_cast<UINT8>(colour ^ 0x55),
                       static_cast<UINT8>(255 - colour), 0});
  }
  std::vector<uint8_t> image = sim::MakeTestImage(width, height, colours, markerX, markerY);
  if (format == 1 && (flags & 1) != 0) sim::AppendColMarker(image, markerX, markerY);
  return image;
}

}  // namespace

std::vector<uint8_t> MakeBitmap(uint32_t width, uint32_t height, uint8_t colour, uint16_t markerX,
                                uint16_t markerY) {
  // Blue the colour, red its complement, green rising with the stored row.
  const auto rgbAt = [colour](uint32_t, uint32_t fileRow) {
    return (uint32_t{static_cast<uint8_t>(255 - colour)} << 16) |
           (uint32_t{static_cast<uint8_t>(colour + fileRow)} << 8) | colour;
  };
  return sim::MakeBitmapFile(width, height, rgbAt, markerX, markerY);
}

LogoScript ReadLogoScript(const uint8_t *data, size_t size) {
  Reader in(data, size);
  LogoScript script;
  const uint8_t settings = in.Byte();
  script.Blend = (settings & 0x01) != 0;
  script.UseImageResolution = (settings & 0x02) != 0;
  script.BootLogoProtocol = (settings & 0x04) != 0;
  script.TextAfterGetModes = (settings & 0x08) != 0;
  script.BadgeStrings = (settings >> 4) & 3;
  script.DecodersGiveNoPixels = (settings & 0x40) != 0;
  script.FirstDecodeFails = (settings & 0x80) != 0;
  const uint8_t animation = in.Byte();
  script.AnimationSteps = animation & 0x0F;
  script.GetModesBeforeText = 1 + (animation >> 4);

  while (!in.AtEnd() && script.Images.size() < kMaxImages) {
    ScriptedImage image;
    const uint8_t type = in.Byte();
    const uint8_t nibble = type & 0x0F;
    image.Type = nibble < 7 ? 0 : nibble < 14 ? 1 : nibble == 14 ? 2 : type >> 4;
    const uint8_t format = in.Byte();
    image.Format = format & 7;
    image.Placement = in.Byte() % 11;
    image.X = Coordinate(in.Byte());
    image.Y = Coordinate(in.Byte());
    const size_t length = in.Byte() | size_t{in.Byte()} << 8;
    std::vector<uint8_t> payload = in.Bytes(length);
    image.Bytes = (format & 0x08) != 0 ? Synthesise(image.Format, payload) : std::move(payload);
    script.Images.push_back(std::move(image));
  }
  return script;
}

}  // namespace logo_fuzz
