// Screens saved as PNG: the picture read back holds every pixel's red, green and blue, and a
// file that cannot be written is reported rather than left half-made.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "sim/uefi/display/Framebuffer.h"
#include "tests/sim/display/DisplayTestPixels.h"
#include "tests/sim/display/PngReadBack.h"

namespace sim {
namespace {

std::string TempPath(const char *name) {
  return ::testing::TempDir() + "sim_display_" + std::to_string(::getpid()) + "_" + name;
}

TEST(SavePng, PictureReadBackMatchesEveryPixel) {
  Framebuffer screen(37, 11);  // odd sizes: no row padding can hide
  PaintPattern(screen);
  screen.Set(0, 0, MakePixel(0x00FF0000));   // pure red
  screen.Set(36, 10, MakePixel(0xAA0000FF)); // pure blue; the reserved byte is not saved
  const std::string path = TempPath("roundtrip.png");

  std::string error;
  ASSERT_TRUE(screen.SavePng(path, &error)) << error;
  RgbPicture picture;
  ASSERT_TRUE(ReadPngAsRgb(path, picture, error)) << error;
  std::remove(path.c_str());

  ASSERT_EQ(picture.width, 37u);
  ASSERT_EQ(picture.height, 11u);
  for (uint32_t y = 0; y < 11; ++y) {
    for (uint32_t x = 0; x < 37; ++x) {
      const EFI_GRAPHICS_OUTPUT_BLT_PIXEL p = screen.At(x, y);
      const uint8_t *rgb = &picture.rgb[(size_t(y) * 37 + x) * 3];
      ASSERT_EQ(rgb[0], p.Red) << "(" << x << ", " << y << ")";
      ASSERT_EQ(rgb[1], p.Green) << "(" << x << ", " << y << ")";
      ASSERT_EQ(rgb[2], p.Blue) << "(" << x << ", " << y << ")";
    }
  }
  EXPECT_EQ(picture.rgb[0], 0xFF);
  EXPECT_EQ(picture.rgb[2], 0x00);
  EXPECT_EQ(picture.rgb.back(), 0xFF);
}

TEST(SavePng, UnwritablePathIsReported) {
  Framebuffer screen(4, 4);
  std::string error;
  EXPECT_FALSE(screen.SavePng("/nonexistent-directory/screen.png", &error));
  EXPECT_NE(error.find("cannot create /nonexistent-directory/screen.png"), std::string::npos)
      << error;
  EXPECT_FALSE(screen.SavePng("/nonexistent-directory/screen.png", nullptr));
}

TEST(SavePng, EmptyScreenIsRefusedWithoutAFile) {
  Framebuffer screen(0, 0);
  const std::string path = TempPath("empty.png");
  std::string error;
  EXPECT_FALSE(screen.SavePng(path, &error));
  EXPECT_NE(error.find("0 x 0"), std::string::npos) << error;
  EXPECT_EQ(std::fopen(path.c_str(), "rb"), nullptr);
}

}  // namespace
}  // namespace sim
