// The framebuffer behind the simulated screens: pixel access, rectangle questions, resizing.
#include <gtest/gtest.h>

#include <stdexcept>

#include "sim/uefi/display/Framebuffer.h"

namespace sim {
namespace {

TEST(Framebuffer, StartsBlackAndKeepsWhatIsSet) {
  Framebuffer screen(4, 3);
  EXPECT_TRUE(screen.RectIs(0, 0, 4, 3, MakePixel(0)));
  screen.Set(3, 2, MakePixel(0x00112233));
  EXPECT_EQ(PixelValue(screen.At(3, 2)), 0x00112233u);
  EXPECT_EQ(screen.At(3, 2).Blue, 0x33);
  EXPECT_EQ(screen.At(3, 2).Red, 0x11);
  EXPECT_EQ(screen.CountInRect(0, 0, 4, 3, MakePixel(0)), 11u);
  EXPECT_FALSE(screen.RectIs(2, 1, 2, 2, MakePixel(0)));
}

TEST(Framebuffer, ResizeClearsToBlack) {
  Framebuffer screen(4, 3);
  screen.Fill(MakePixel(0x00FFFFFF));
  screen.Resize(5, 2);
  EXPECT_EQ(screen.Width(), 5u);
  EXPECT_EQ(screen.Height(), 2u);
  EXPECT_TRUE(screen.RectIs(0, 0, 5, 2, MakePixel(0)));
}

TEST(Framebuffer, QuestionsAboutPixelsOffTheScreenThrow) {
  Framebuffer screen(4, 3);
  EXPECT_THROW(screen.At(4, 0), std::out_of_range);
  EXPECT_THROW(screen.At(0, 3), std::out_of_range);
  EXPECT_THROW(screen.Set(0, 3, MakePixel(1)), std::out_of_range);
  EXPECT_THROW(screen.CountInRect(1, 0, 4, 1, MakePixel(0)), std::out_of_range);
  // A width that would wrap a 32-bit sum back onto the screen.
  EXPECT_THROW(screen.RectIs(1, 0, 0xFFFFFFFFu, 1, MakePixel(0)), std::out_of_range);
  EXPECT_TRUE(screen.RectIs(0, 0, 4, 3, MakePixel(0)));
}

}  // namespace
}  // namespace sim
