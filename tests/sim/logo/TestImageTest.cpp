// The TIMG builder and the bounds-checked reader every decoder double relies on.
#include <gtest/gtest.h>

#include <string>

#include "sim/uefi/logo/TestImage.h"

namespace sim {
namespace {

constexpr EFI_GRAPHICS_OUTPUT_BLT_PIXEL kRed = {0, 0, 0xFF, 0};
constexpr EFI_GRAPHICS_OUTPUT_BLT_PIXEL kBlue = {0xFF, 0, 0, 0};

TEST(TestImage, HeaderAndFramesAreLaidOutAsDocumented) {
  std::vector<uint8_t> image = MakeTestImage(3, 2, {kRed, kBlue}, 0x0120, 0x0010);
  ASSERT_EQ(image.size(), 16u + 2 * 3 * 2 * 4);
  EXPECT_EQ(std::string(image.begin(), image.begin() + 4), "TIMG");
  EXPECT_EQ(image[4], 3);
  EXPECT_EQ(image[6], 2);
  // The marker words of a format 5 image: x at offset 8, y at offset 10, little-endian.
  EXPECT_EQ(image[8], 0x20);
  EXPECT_EQ(image[9], 0x01);
  EXPECT_EQ(image[10], 0x10);
  EXPECT_EQ(image[11], 0x00);
  EXPECT_EQ(image[12], 2);
  // Frame 0 red, frame 1 blue, pixels as blue, green, red, reserved.
  EXPECT_EQ(image[16 + 2], 0xFF);
  EXPECT_EQ(image[16 + 24], 0xFF);

  std::optional<TestImageView> view = ParseTestImage(image.data(), image.size());
  ASSERT_TRUE(view);
  EXPECT_EQ(view->width, 3u);
  EXPECT_EQ(view->height, 2u);
  EXPECT_EQ(view->markerX, 0x0120);
  EXPECT_EQ(view->markerY, 0x0010);
  EXPECT_EQ(view->frameCount, 2u);
  EXPECT_EQ(view->Frame(1), image.data() + 16 + 24);
}

TEST(TestImage, ColMarkerIsAJpegCommentSegment) {
  std::vector<uint8_t> image = MakeTestImage(1, 1, kRed);
  const size_t end = image.size();
  AppendColMarker(image, 0x0120, 0x0010);
  const std::vector<uint8_t> segment(image.begin() + end, image.end());
  EXPECT_EQ(segment, (std::vector<uint8_t>{0xFF, 0xFE, 0x00, 0x0A, 0x43, 0x4F, 0x4C, 0x24, 0x20,
                                           0x01, 0x10, 0x00}));
  // Bytes after the frames do not disturb the reader.
  EXPECT_TRUE(ParseTestImage(image.data(), image.size()));
}

struct BadImage {
  std::string name;
  std::vector<uint8_t> bytes;
  TestImageError error;
};

std::vector<uint8_t> With(std::vector<uint8_t> bytes, size_t offset,
                          std::initializer_list<uint8_t> values) {
  for (uint8_t value : values) bytes[offset++] = value;
  return bytes;
}

std::vector<BadImage> BadImages() {
  const std::vector<uint8_t> good = MakeTestImage(4, 3, kRed);
  std::vector<uint8_t> cut = good;
  cut.pop_back();
  return {
      {"Empty", {}, TestImageError::NotTestImage},
      {"ShorterThanHeader", std::vector<uint8_t>(good.begin(), good.begin() + 15),
       TestImageError::NotTestImage},
      {"OtherMagic", With(good, 0, {'B', 'M'}), TestImageError::NotTestImage},
      {"ZeroWidth", With(good, 4, {0, 0}), TestImageError::Corrupt},
      {"ZeroHeight", With(good, 6, {0, 0}), TestImageError::Corrupt},
      {"WiderThanAnyScreen", With(good, 4, {0x01, 0x40}), TestImageError::Corrupt},  // 16385
      {"NoFrames", With(good, 12, {0, 0, 0, 0}), TestImageError::Corrupt},
      {"HugeFrameCount", With(good, 12, {0xFF, 0xFF, 0xFF, 0xFF}), TestImageError::Corrupt},
      {"SecondFrameMissing", With(good, 12, {2}), TestImageError::Corrupt},
      {"LastPixelByteMissing", cut, TestImageError::Corrupt},
      {"LargestSidesWithoutPixels", With(good, 4, {0x00, 0x40, 0x00, 0x40}),
       TestImageError::Corrupt},
  };
}

class TestImageRefuses : public ::testing::TestWithParam<BadImage> {};

TEST_P(TestImageRefuses, WithTheReasonAndWithoutReadingPastTheEnd) {
  // An exact-size heap copy, so reading one byte too far is a sanitizer report.
  const std::vector<uint8_t> &bytes = GetParam().bytes;
  std::unique_ptr<uint8_t[]> exact(new uint8_t[bytes.size() + (bytes.empty() ? 1 : 0)]);
  std::copy(bytes.begin(), bytes.end(), exact.get());
  TestImageError error = TestImageError::None;
  EXPECT_FALSE(ParseTestImage(exact.get(), bytes.size(), &error));
  EXPECT_EQ(error, GetParam().error);
}

INSTANTIATE_TEST_SUITE_P(TestImage, TestImageRefuses, ::testing::ValuesIn(BadImages()),
                         [](const auto &info) { return info.param.name; });

TEST(TestImage, NullImageIsNotATestImage) {
  TestImageError error = TestImageError::None;
  EXPECT_FALSE(ParseTestImage(nullptr, 100, &error));
  EXPECT_EQ(error, TestImageError::NotTestImage);
}

}  // namespace
}  // namespace sim
