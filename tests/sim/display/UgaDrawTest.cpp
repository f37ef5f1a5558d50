// The simulated UGA Draw device: free resolution changes that clear the screen, refused and
// failing mode calls, and block transfers bounded by the current resolution.
#include <gtest/gtest.h>

#include "sim/uefi/display/UgaDrawDevice.h"
#include "tests/sim/display/DisplayTestPixels.h"

namespace sim {
namespace {

TEST(UgaDraw, GetModeReportsResolutionDepthAndRate) {
  UgaDrawDevice uga(800, 600, 24, 75);
  UINT32 width = 0, height = 0, depth = 0, rate = 0;
  ASSERT_EQ(uga.Protocol()->GetMode(uga.Protocol(), &width, &height, &depth, &rate), EFI_SUCCESS);
  EXPECT_EQ(width, 800u);
  EXPECT_EQ(height, 600u);
  EXPECT_EQ(depth, 24u);
  EXPECT_EQ(rate, 75u);
  EXPECT_EQ(uga.Protocol()->GetMode(uga.Protocol(), nullptr, &height, &depth, &rate),
            EFI_INVALID_PARAMETER);
  uga.FailGetMode(true);
  EXPECT_EQ(uga.Protocol()->GetMode(uga.Protocol(), &width, &height, &depth, &rate),
            EFI_DEVICE_ERROR);
}

TEST(UgaDraw, SetModeResizesAndClears) {
  UgaDrawDevice uga(800, 600);
  uga.Screen().Fill(MakePixel(0x00FFFFFF));
  ASSERT_EQ(uga.Protocol()->SetMode(uga.Protocol(), 1024, 768, 16, 85), EFI_SUCCESS);
  EXPECT_EQ(uga.Screen().Width(), 1024u);
  EXPECT_EQ(uga.Screen().Height(), 768u);
  EXPECT_TRUE(uga.Screen().RectIs(0, 0, 1024, 768, MakePixel(0)));
  EXPECT_EQ(uga.ColourDepth(), 16u);
  EXPECT_EQ(uga.RefreshRate(), 85u);
  ASSERT_EQ(uga.SetModeCalls().size(), 1u);
  EXPECT_EQ(uga.SetModeCalls()[0].Width, 1024u);
  EXPECT_EQ(uga.SetModeCalls()[0].RefreshRate, 85u);
}

TEST(UgaDraw, RefusedAndFailingSetModeChangeNothing) {
  UgaDrawDevice uga(800, 600);
  uga.Screen().Set(1, 1, MakePixel(0x00ABCDEF));
  struct { UINT32 width, height; } refused[] = {{0, 600}, {800, 0}, {4097, 600}, {800, 4097}};
  for (auto size : refused) {
    EXPECT_EQ(uga.Protocol()->SetMode(uga.Protocol(), size.width, size.height, 32, 60),
              EFI_UNSUPPORTED)
        << size.width << " x " << size.height;
  }
  EXPECT_EQ(uga.Protocol()->SetMode(uga.Protocol(), 4096, 4096, 32, 60), EFI_SUCCESS);
  uga.FailSetMode(true);
  EXPECT_EQ(uga.Protocol()->SetMode(uga.Protocol(), 640, 480, 32, 60), EFI_DEVICE_ERROR);
  EXPECT_EQ(uga.Screen().Width(), 4096u);
  EXPECT_EQ(uga.SetModeCalls().size(), 6u);
}

TEST(UgaDraw, BltIsBoundedByTheCurrentResolution) {
  UgaDrawDevice uga(16, 8);
  PaintPattern(uga.Screen());
  std::vector<EFI_UGA_PIXEL> buffer = PatternBuffer(4, 2);
  EFI_UGA_DRAW_PROTOCOL *protocol = uga.Protocol();
  EXPECT_EQ(protocol->Blt(protocol, buffer.data(), EfiUgaBltBufferToVideo, 0, 0, 13, 6, 4, 2, 0),
            EFI_INVALID_PARAMETER);
  EXPECT_EQ(PixelValue(uga.Screen().At(15, 7)), PixelValue(ScreenPattern(15, 7)));
  EXPECT_EQ(protocol->Blt(protocol, buffer.data(), EfiUgaBltBufferToVideo, 0, 0, 12, 6, 4, 2, 0),
            EFI_SUCCESS);
  EXPECT_EQ(PixelValue(uga.Screen().At(15, 7)), PixelValue(BufferPattern(3, 1)));
  std::vector<EFI_UGA_PIXEL> readBack(8);
  EXPECT_EQ(protocol->Blt(protocol, readBack.data(), EfiUgaVideoToBltBuffer, 12, 6, 0, 0, 4, 2,
                          16),
            EFI_SUCCESS);
  EXPECT_EQ(Values(readBack), Values(buffer));
  uga.FailNextBlt(EFI_DEVICE_ERROR);
  EFI_UGA_PIXEL black{};
  EXPECT_EQ(protocol->Blt(protocol, &black, EfiUgaVideoFill, 0, 0, 0, 0, 16, 8, 0),
            EFI_DEVICE_ERROR);
  EXPECT_EQ(PixelValue(uga.Screen().At(15, 7)), PixelValue(BufferPattern(3, 1)));
  ASSERT_EQ(uga.BltCalls().size(), 4u);
  EXPECT_EQ(uga.BltCalls()[0].Status, EFI_INVALID_PARAMETER);
  EXPECT_EQ(uga.BltCalls()[0].DestinationX, 13u);
  EXPECT_EQ(uga.BltCalls()[3].Op, EfiUgaVideoFill);
}

}  // namespace
}  // namespace sim
