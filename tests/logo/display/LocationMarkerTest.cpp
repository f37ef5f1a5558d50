// Reading the location marker of a logo image: every read stays inside the image, also when
// the image ends inside or just after a marker.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "include/BoardLogoProtocols.h"
#include "platform_dxe/logo/LocationMarker.h"

namespace logo_test {
namespace {

using Bytes = std::vector<uint8_t>;

// A JPEG comment segment with the "COL$" marker at (x, y).
Bytes Comment(uint16_t x, uint16_t y) {
  return {0xFF, 0xFE, 0x00, 0x0A, 'C', 'O', 'L', '$', uint8_t(x), uint8_t(x >> 8), uint8_t(y),
          uint8_t(y >> 8)};
}

Bytes Join(std::initializer_list<Bytes> parts) {
  Bytes joined;
  for (const Bytes &part : parts) joined.insert(joined.end(), part.begin(), part.end());
  return joined;
}

Bytes Cut(Bytes bytes, size_t dropped) {
  bytes.resize(bytes.size() - dropped);
  return bytes;
}

struct MarkerCase {
  const char *Name;
  uint32_t Format;
  Bytes Image;
  bool Found;
  uint16_t X, Y;
};

const Bytes kJpegStart = {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10};

const MarkerCase kCases[] = {
    {"JpegMarkerAtTheStart", LOGO_FORMAT_JPEG, Comment(0x0120, 0x0010), true, 288, 16},
    {"JpegMarkerAfterOtherSegments", LOGO_FORMAT_JPEG, Join({kJpegStart, Comment(5, 6), {0xFF, 0xD9}}),
     true, 5, 6},
    {"JpegMarkerEndingTheImage", LOGO_FORMAT_JPEG, Join({kJpegStart, Comment(7, 8)}), true, 7, 8},
    {"JpegMarkerCutByOneByte", LOGO_FORMAT_JPEG, Cut(Join({kJpegStart, Comment(7, 8)}), 1), false, 0, 0},
    {"JpegMarkerCutInsideItsTag", LOGO_FORMAT_JPEG, Cut(Join({kJpegStart, Comment(7, 8)}), 6), false, 0, 0},
    {"JpegEndsWithCommentStart", LOGO_FORMAT_JPEG, Join({kJpegStart, {0xFF, 0xFE}}), false, 0, 0},
    {"JpegOtherCommentThenMarker", LOGO_FORMAT_JPEG,
     Join({{0xFF, 0xFE, 0x00, 0x0A, 'C', 'O', 'L', '#', 1, 0, 2, 0}, Comment(3, 4)}), true, 3, 4},
    {"JpegFirstOfTwoMarkers", LOGO_FORMAT_JPEG, Join({Comment(1, 2), Comment(3, 4)}), true, 1, 2},
    {"JpegMarkerAfterAFillByte", LOGO_FORMAT_JPEG, Join({{0xFF}, Comment(9, 10)}), true, 9, 10},
    {"JpegLengthBytesAreNotChecked", LOGO_FORMAT_JPEG,
     {0xFF, 0xFE, 0x12, 0x34, 'C', 'O', 'L', '$', 1, 0, 2, 0}, true, 1, 2},
    {"JpegTagInOtherCaseIsNoMarker", LOGO_FORMAT_JPEG,
     {0xFF, 0xFE, 0x00, 0x0A, 'c', 'o', 'l', '$', 1, 0, 2, 0}, false, 0, 0},
    {"JpegWithoutComment", LOGO_FORMAT_JPEG, Join({kJpegStart, kJpegStart, {0xFF, 0xD9}}), false, 0, 0},
    {"JpegEmpty", LOGO_FORMAT_JPEG, {}, false, 0, 0},
    {"JpegElevenBytes", LOGO_FORMAT_JPEG, Cut(Comment(1, 2), 1), false, 0, 0},
    {"BitmapReservedWords", LOGO_FORMAT_BITMAP, {'B', 'M', 0, 0, 0, 0, 100, 0, 40, 0}, true, 100, 40},
    {"BitmapEndingInsideTheSecondWord", LOGO_FORMAT_BITMAP, {'B', 'M', 0, 0, 0, 0, 100, 0, 40}, false,
     0, 0},
    {"BitmapEmpty", LOGO_FORMAT_BITMAP, {}, false, 0, 0},
    {"Format5Words", LOGO_FORMAT_FORMAT5, {0, 0, 0, 0, 0, 0, 0, 0, 0x34, 0x12, 0x78, 0x56}, true,
     0x1234, 0x5678},
    {"Format5EndingInsideTheSecondWord", LOGO_FORMAT_FORMAT5, {0, 0, 0, 0, 0, 0, 0, 0, 0x34, 0x12, 0x78},
     false, 0, 0},
    {"Format4HasNoMarker", LOGO_FORMAT_FORMAT4, Comment(1, 2), false, 0, 0},
    {"Format3HasNoMarker", LOGO_FORMAT_ANIMATED, Comment(1, 2), false, 0, 0},
    {"Format2HasNoMarker", LOGO_FORMAT_NONE, Comment(1, 2), false, 0, 0},
};

class LocationMarkerTest : public ::testing::TestWithParam<MarkerCase> {};

TEST_P(LocationMarkerTest, ReadsOnlyInsideTheImage) {
  const MarkerCase &c = GetParam();
  // The image sits in a block of exactly its size, so a read past its end is caught.
  std::unique_ptr<uint8_t[]> image(new uint8_t[c.Image.size() + (c.Image.empty() ? 1 : 0)]);
  std::copy(c.Image.begin(), c.Image.end(), image.get());
  UINT16 x = 0xAAAA, y = 0xBBBB;

  const bool found = ReadLocationMarker(c.Format, image.get(), c.Image.size(), &x, &y) != FALSE;

  EXPECT_EQ(found, c.Found);
  EXPECT_EQ(x, c.Found ? c.X : 0xAAAA);
  EXPECT_EQ(y, c.Found ? c.Y : 0xBBBB);
}

INSTANTIATE_TEST_SUITE_P(Cases, LocationMarkerTest, ::testing::ValuesIn(kCases),
                         [](const auto &info) { return std::string(info.param.Name); });

TEST(LocationMarkerWithoutImage, NullImageHasNoMarker) {
  UINT16 x = 1, y = 2;
  EXPECT_FALSE(ReadLocationMarker(LOGO_FORMAT_JPEG, nullptr, 100, &x, &y));
  EXPECT_EQ(x, 1);
}

}  // namespace
}  // namespace logo_test
