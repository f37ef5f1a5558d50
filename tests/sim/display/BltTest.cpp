// Block transfers of the simulated Graphics Output device: the four operations with and
// without a row length, and every kind of rectangle that must be refused without a pixel
// written on the screen or in the caller's buffer.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "sim/uefi/display/GraphicsOutputDevice.h"
#include "tests/sim/display/DisplayTestPixels.h"

namespace sim {
namespace {

constexpr uint32_t kScreenWidth = 16, kScreenHeight = 8;
constexpr UINTN kMax = std::numeric_limits<UINTN>::max();

struct BltCase {
  const char *name;
  EFI_GRAPHICS_OUTPUT_BLT_OPERATION op;
  UINTN sourceX, sourceY, destinationX, destinationY, width, height;
  uint32_t bufferWidth;  // pixels per row of the caller's buffer
  bool zeroDelta;        // pass Delta 0 (the buffer is exactly `width` wide)
};

// What the screen and buffer must hold after the case, derived from the definition of each
// operation on a copy of the starting pixels.
struct Expected {
  std::vector<uint32_t> screen, buffer;
};

Expected ExpectedAfter(const BltCase &c, const Framebuffer &before,
                       const std::vector<EFI_GRAPHICS_OUTPUT_BLT_PIXEL> &buffer) {
  Expected e{Values(before.PixelVector()), Values(buffer)};
  auto screenAt = [&](UINTN x, UINTN y) -> uint32_t & { return e.screen[y * kScreenWidth + x]; };
  auto bufferAt = [&](UINTN x, UINTN y) -> uint32_t & { return e.buffer[y * c.bufferWidth + x]; };
  const std::vector<uint32_t> screenBefore = e.screen;
  for (UINTN row = 0; row < c.height; ++row) {
    for (UINTN column = 0; column < c.width; ++column) {
      switch (c.op) {
        case EfiBltVideoFill:
          screenAt(c.destinationX + column, c.destinationY + row) = PixelValue(buffer[0]);
          break;
        case EfiBltVideoToBltBuffer:
          bufferAt(c.destinationX + column, c.destinationY + row) =
              screenBefore[(c.sourceY + row) * kScreenWidth + c.sourceX + column];
          break;
        case EfiBltBufferToVideo:
          screenAt(c.destinationX + column, c.destinationY + row) =
              PixelValue(buffer[(c.sourceY + row) * c.bufferWidth + c.sourceX + column]);
          break;
        case EfiBltVideoToVideo:
          screenAt(c.destinationX + column, c.destinationY + row) =
              screenBefore[(c.sourceY + row) * kScreenWidth + c.sourceX + column];
          break;
      }
    }
  }
  return e;
}

class BltOperation : public ::testing::TestWithParam<BltCase> {};

TEST_P(BltOperation, MovesExactlyTheRectangle) {
  const BltCase &c = GetParam();
  GraphicsOutputDevice gop({{kScreenWidth, kScreenHeight}});
  PaintPattern(gop.Screen());
  std::vector<EFI_GRAPHICS_OUTPUT_BLT_PIXEL> buffer = PatternBuffer(c.bufferWidth, 6);
  const Expected expected = ExpectedAfter(c, gop.Screen(), buffer);
  const UINTN delta = c.zeroDelta ? 0 : c.bufferWidth * sizeof(EFI_GRAPHICS_OUTPUT_BLT_PIXEL);

  EFI_STATUS status = gop.Protocol()->Blt(gop.Protocol(), buffer.data(), c.op, c.sourceX,
                                          c.sourceY, c.destinationX, c.destinationY, c.width,
                                          c.height, delta);

  EXPECT_EQ(status, EFI_SUCCESS);
  EXPECT_EQ(Values(gop.Screen().PixelVector()), expected.screen);
  EXPECT_EQ(Values(buffer), expected.buffer);
  ASSERT_EQ(gop.BltCalls().size(), 1u);
  EXPECT_EQ(gop.BltCalls()[0].Op, c.op);
  EXPECT_EQ(gop.BltCalls()[0].Delta, delta);
  EXPECT_EQ(gop.BltCalls()[0].Status, EFI_SUCCESS);
}

INSTANTIATE_TEST_SUITE_P(
    AllOperations, BltOperation,
    ::testing::Values(
        BltCase{"FillInside", EfiBltVideoFill, 0, 0, 3, 2, 4, 3, 1, true},
        BltCase{"FillToBottomRightCorner", EfiBltVideoFill, 0, 0, 12, 5, 4, 3, 1, true},
        BltCase{"FillWholeScreen", EfiBltVideoFill, 0, 0, 0, 0, 16, 8, 1, true},
        BltCase{"FillIgnoresSourceAndDelta", EfiBltVideoFill, 9, 9, 1, 1, 2, 2, 3, false},
        BltCase{"VideoToBufferWholeBuffer", EfiBltVideoToBltBuffer, 5, 1, 0, 0, 3, 2, 3, true},
        BltCase{"VideoToBufferSubRectangle", EfiBltVideoToBltBuffer, 13, 6, 2, 1, 3, 2, 6, false},
        BltCase{"BufferToVideoWholeBuffer", EfiBltBufferToVideo, 0, 0, 4, 3, 5, 4, 5, true},
        BltCase{"BufferToVideoSubRectangle", EfiBltBufferToVideo, 1, 2, 13, 6, 3, 2, 6, false},
        BltCase{"BufferToVideoOnePixel", EfiBltBufferToVideo, 5, 5, 15, 7, 1, 1, 6, false},
        BltCase{"VideoToVideoApart", EfiBltVideoToVideo, 0, 0, 10, 4, 4, 3, 1, true},
        BltCase{"VideoToVideoOverlapDownRight", EfiBltVideoToVideo, 2, 1, 4, 3, 6, 4, 1, true},
        BltCase{"VideoToVideoOverlapUpLeft", EfiBltVideoToVideo, 4, 3, 2, 1, 6, 4, 1, true},
        BltCase{"VideoToVideoSameRow", EfiBltVideoToVideo, 0, 2, 3, 2, 10, 1, 1, true}),
    [](const auto &info) { return std::string(info.param.name); });

// Rectangles and arguments that must be refused. The screen and a generous buffer are checked
// untouched afterwards, so a refusal that still wrote part of the rectangle fails.
struct RefusalCase {
  const char *name;
  EFI_GRAPHICS_OUTPUT_BLT_OPERATION op;
  UINTN sourceX, sourceY, destinationX, destinationY, width, height, delta;
  bool nullBuffer;
};

class BltRefusal : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(BltRefusal, InvalidParameterAndNothingWritten) {
  const RefusalCase &c = GetParam();
  GraphicsOutputDevice gop({{kScreenWidth, kScreenHeight}});
  PaintPattern(gop.Screen());
  const std::vector<uint32_t> screenBefore = Values(gop.Screen().PixelVector());
  std::vector<EFI_GRAPHICS_OUTPUT_BLT_PIXEL> buffer = PatternBuffer(32, 16);
  const std::vector<uint32_t> bufferBefore = Values(buffer);

  EFI_STATUS status = gop.Protocol()->Blt(gop.Protocol(), c.nullBuffer ? nullptr : buffer.data(),
                                          c.op, c.sourceX, c.sourceY, c.destinationX,
                                          c.destinationY, c.width, c.height, c.delta);

  EXPECT_EQ(status, EFI_INVALID_PARAMETER);
  EXPECT_EQ(Values(gop.Screen().PixelVector()), screenBefore);
  EXPECT_EQ(Values(buffer), bufferBefore);
  ASSERT_EQ(gop.BltCalls().size(), 1u);
  EXPECT_EQ(gop.BltCalls()[0].Status, EFI_INVALID_PARAMETER);
}

INSTANTIATE_TEST_SUITE_P(
    Refused, BltRefusal,
    ::testing::Values(
        RefusalCase{"FillPastRightEdge", EfiBltVideoFill, 0, 0, 13, 0, 4, 1, 0, false},
        RefusalCase{"FillPastBottomEdge", EfiBltVideoFill, 0, 0, 0, 6, 1, 3, 0, false},
        RefusalCase{"FillStartingRightOfScreen", EfiBltVideoFill, 0, 0, 16, 0, 1, 1, 0, false},
        RefusalCase{"FillStartingBelowScreen", EfiBltVideoFill, 0, 0, 0, 8, 1, 1, 0, false},
        RefusalCase{"FillWidthWrapsAround", EfiBltVideoFill, 0, 0, 1, 0, kMax, 1, 0, false},
        RefusalCase{"FillHeightWrapsAround", EfiBltVideoFill, 0, 0, 0, 2, 1, kMax - 1, 0, false},
        RefusalCase{"FillXWrapsAround", EfiBltVideoFill, 0, 0, kMax, 0, 2, 1, 0, false},
        RefusalCase{"BufferToVideoPastRightEdge", EfiBltBufferToVideo, 0, 0, 14, 0, 3, 1, 0, false},
        RefusalCase{"BufferToVideoPastBottomEdge", EfiBltBufferToVideo, 0, 0, 0, 7, 1, 2, 0, false},
        RefusalCase{"BufferToVideoDestinationWraps", EfiBltBufferToVideo, 0, 0, kMax - 1, kMax, 3,
                    2, 0, false},
        RefusalCase{"BufferToVideoRowWiderThanDelta", EfiBltBufferToVideo, 3, 0, 0, 0, 4, 1, 24,
                    false},
        RefusalCase{"BufferToVideoSourceOffsetWraps", EfiBltBufferToVideo, 0, kMax / 8, 0, 0, 1, 1,
                    128, false},
        RefusalCase{"BufferToVideoSubRectangleWithZeroDelta", EfiBltBufferToVideo, 1, 0, 0, 0, 2,
                    1, 0, false},
        RefusalCase{"VideoToBufferSourcePastRightEdge", EfiBltVideoToBltBuffer, 14, 0, 0, 0, 3, 1,
                    0, false},
        RefusalCase{"VideoToBufferSourcePastBottomEdge", EfiBltVideoToBltBuffer, 0, 5, 0, 0, 1, 4,
                    0, false},
        RefusalCase{"VideoToBufferSourceWidthWraps", EfiBltVideoToBltBuffer, 2, 0, 0, 0, kMax - 1,
                    1, 0, false},
        RefusalCase{"VideoToBufferDestinationOffsetWraps", EfiBltVideoToBltBuffer, 0, 0, 0,
                    kMax / 4, 1, 1, 64, false},
        RefusalCase{"VideoToVideoSourcePastEdge", EfiBltVideoToVideo, 10, 0, 0, 0, 7, 1, 0, false},
        RefusalCase{"VideoToVideoDestinationPastEdge", EfiBltVideoToVideo, 0, 0, 0, 5, 2, 4, 0,
                    false},
        RefusalCase{"VideoToVideoDestinationWraps", EfiBltVideoToVideo, 0, 0, 0, kMax, 1, 2, 0,
                    false},
        RefusalCase{"ZeroWidth", EfiBltBufferToVideo, 0, 0, 0, 0, 0, 1, 0, false},
        RefusalCase{"ZeroHeight", EfiBltVideoFill, 0, 0, 0, 0, 1, 0, 0, false},
        RefusalCase{"OperationFour", 4, 0, 0, 0, 0, 1, 1, 0, false},
        RefusalCase{"OperationAllOnes", 0xFFFFFFFFu, 0, 0, 0, 0, 1, 1, 0, false},
        RefusalCase{"FillFromNullBuffer", EfiBltVideoFill, 0, 0, 0, 0, 1, 1, 0, true},
        RefusalCase{"BufferToVideoFromNullBuffer", EfiBltBufferToVideo, 0, 0, 0, 0, 1, 1, 0, true},
        RefusalCase{"VideoToNullBuffer", EfiBltVideoToBltBuffer, 0, 0, 0, 0, 1, 1, 0, true}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(BltFailureInjection, NextBltFailsOnceAndDrawsNothing) {
  GraphicsOutputDevice gop({{kScreenWidth, kScreenHeight}});
  EFI_GRAPHICS_OUTPUT_BLT_PIXEL white = MakePixel(0x00FFFFFF);
  gop.FailNextBlt(EFI_DEVICE_ERROR);

  EXPECT_EQ(gop.Protocol()->Blt(gop.Protocol(), &white, EfiBltVideoFill, 0, 0, 0, 0, 4, 4, 0),
            EFI_DEVICE_ERROR);
  EXPECT_TRUE(gop.Screen().RectIs(0, 0, kScreenWidth, kScreenHeight, MakePixel(0)));
  EXPECT_EQ(gop.Protocol()->Blt(gop.Protocol(), &white, EfiBltVideoFill, 0, 0, 0, 0, 4, 4, 0),
            EFI_SUCCESS);
  EXPECT_EQ(gop.Screen().CountInRect(0, 0, kScreenWidth, kScreenHeight, white), 16u);
  ASSERT_EQ(gop.BltCalls().size(), 2u);
  EXPECT_EQ(gop.BltCalls()[0].Status, EFI_DEVICE_ERROR);
  EXPECT_EQ(gop.BltCalls()[1].Status, EFI_SUCCESS);
}

}  // namespace
}  // namespace sim
