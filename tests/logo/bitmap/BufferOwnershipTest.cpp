// Who owns the pixel buffer on every path, and what each size output says.
#include "tests/logo/bitmap/BitmapTest.h"

namespace bitmap_test {
namespace {

BmpFile Picture(uint16_t Depth, uint32_t Compression) {
  BmpFile F;
  F.Width = 3;
  F.Height = 2;
  F.BitsPerPixel = Depth;
  F.Compression = Compression;
  F.Palette = {0x102030, 0x405060};
  if (Compression == 1) {
    F.PixelData = {0x03, 0x00, 0x00, 0x00, 0x03, 0x01, 0x00, 0x01};
  } else if (Depth == 24) {
    F.PixelData = PackRows({{1, 2, 3}, {4, 5, 6}}, 24, 0);
  } else {
    F.PixelData.assign(64, 0x00);
  }
  return F;
}

struct OwnershipCase {
  std::string Name;
  BmpFile File;
};
void PrintTo(const OwnershipCase &Case, std::ostream *Out) { *Out << Case.Name; }

std::string CaseName(const ::testing::TestParamInfo<OwnershipCase> &Info) {
  return Info.param.Name;
}

class CallerBufferSize : public BitmapTest, public ::testing::WithParamInterface<OwnershipCase> {};

// Too small wins over a refusal of the pixel data: the depth is looked at only once there is
// room to decode into.
TEST_P(CallerBufferSize, OneByteShortIsBufferTooSmallWithTheSizeNeeded) {
  Decoded D = DecodeInto(GetParam().File.Bytes(), 3 * 2 * 4 - 1);
  EXPECT_EQ(D.Status, EFI_BUFFER_TOO_SMALL);
  EXPECT_EQ(D.BufferSize, 24u);
  EXPECT_EQ(D.Height, kUntouchedHeight);
  EXPECT_EQ(D.Width, kUntouchedWidth);
  EXPECT_EQ(D.CallerBytes, std::vector<uint8_t>(23, kCallerFill));
}

TEST_P(CallerBufferSize, ZeroSizedCallerBufferIsTooSmall) {
  Decoded D = DecodeInto(GetParam().File.Bytes(), 0);
  EXPECT_EQ(D.Status, EFI_BUFFER_TOO_SMALL);
  EXPECT_EQ(D.BufferSize, 24u);
}

INSTANTIATE_TEST_SUITE_P(Bitmap, CallerBufferSize,
                         ::testing::Values(OwnershipCase{"Uncompressed24", Picture(24, 0)},
                                           OwnershipCase{"RunLength8", Picture(8, 1)},
                                           OwnershipCase{"UnsupportedDepth16", Picture(16, 0)}),
                         CaseName);

TEST_F(BitmapTest, LargerCallerBufferKeepsItsSizeAndItsBytesPastThePicture) {
  Decoded D = DecodeInto(Picture(24, 0).Bytes(), 40);
  ASSERT_EQ(D.Status, EFI_SUCCESS);
  EXPECT_EQ(D.BufferSize, 40u);
  EXPECT_EQ(D.Width, 3u);
  EXPECT_EQ(D.Height, 2u);
  EXPECT_EQ(D.Pixels,
            (std::vector<uint32_t>{Px(1, kCallerFill), Px(2, kCallerFill), Px(3, kCallerFill),
                                   Px(4, kCallerFill), Px(5, kCallerFill), Px(6, kCallerFill)}));
  EXPECT_EQ(std::vector<uint8_t>(D.CallerBytes.begin() + 24, D.CallerBytes.end()),
            std::vector<uint8_t>(16, kCallerFill));
}

TEST_F(BitmapTest, RunLengthClearsOnlyThePictureOfALargerCallerBuffer) {
  Decoded D = DecodeInto(Picture(8, 1).Bytes(), 32);
  ASSERT_EQ(D.Status, EFI_SUCCESS);
  // Bottom row colour 0, top row colour 1, reserved bytes cleared with the picture.
  EXPECT_EQ(D.Pixels, (std::vector<uint32_t>{Px(0x405060, 0), Px(0x405060, 0), Px(0x405060, 0),
                                             Px(0x102030, 0), Px(0x102030, 0), Px(0x102030, 0)}));
  EXPECT_EQ(std::vector<uint8_t>(D.CallerBytes.begin() + 24, D.CallerBytes.end()),
            std::vector<uint8_t>(8, kCallerFill));
}

TEST_F(BitmapTest, DecoderAllocatedBufferGoesToTheCaller) {
  // DecodeAllocating checks the block: pool, boot-services data, exactly 24 bytes, the only one.
  Decoded D = DecodeAllocating(Picture(24, 0).Bytes());
  ASSERT_EQ(D.Status, EFI_SUCCESS);
  EXPECT_EQ(D.BufferSize, 24u);
  EXPECT_EQ(D.Width, 3u);
  EXPECT_EQ(D.Height, 2u);
}

TEST_F(BitmapTest, FailedAllocationReportsTheSizeAndNoBuffer) {
  for (uint32_t Compression : {0u, 1u}) {
    SCOPED_TRACE(Compression);
    Env().Pool().FailNthAllocation(1);
    Decoded D = DecodeAllocating(Picture(Compression == 1 ? 8 : 24, Compression).Bytes());
    EXPECT_EQ(D.Status, EFI_OUT_OF_RESOURCES);
    EXPECT_EQ(D.Buffer, nullptr);
    EXPECT_EQ(D.BufferSize, 24u);
    EXPECT_EQ(D.Height, kUntouchedHeight);
    EXPECT_EQ(D.Width, kUntouchedWidth);
    EXPECT_EQ(Env().Pool().LiveCount(), 0u);
  }
}

// A file that claims a huge picture in a few bytes is refused before anything is allocated.
TEST_F(BitmapTest, TinyFileClaimingAHugePictureAllocatesNothing) {
  BmpFile F;
  F.Width = 32768;
  F.Height = 32767;
  F.BitsPerPixel = 8;
  F.Palette = {0x000000, 0xFFFFFF};
  F.PixelData = {0x00, 0x00, 0x00, 0x00};
  Decoded D = DecodeAllocating(F.Bytes());
  EXPECT_EQ(D.Status, EFI_UNSUPPORTED);
  EXPECT_EQ(D.BufferSize, 32768ull * 32767 * 4);
  EXPECT_EQ(Env().Calls().Count(sim::Service::AllocatePool), 0u) << CallTrace();
}

// A picture without pixels reads no pixel data, so neither its depth nor its data matter.
TEST_F(BitmapTest, EmptyPictureSucceedsWhateverItsDepth) {
  struct {
    uint32_t Width, Height;
    uint16_t Depth;
  } Cases[] = {{0, 5, 16}, {7, 0, 32}, {0, 0, 3}, {0, 0xFFFFFFFFu, 24}};
  for (const auto &C : Cases) {
    SCOPED_TRACE(::testing::Message() << C.Width << "x" << C.Height << " depth " << C.Depth);
    BmpFile F;
    F.Width = C.Width;
    F.Height = C.Height;
    F.BitsPerPixel = C.Depth;
    Decoded Into = DecodeInto(F.Bytes(), 8);
    EXPECT_EQ(Into.Status, EFI_SUCCESS);
    EXPECT_EQ(Into.Width, C.Width);
    EXPECT_EQ(Into.Height, C.Height);
    EXPECT_EQ(Into.BufferSize, 8u);
    EXPECT_EQ(Into.CallerBytes, std::vector<uint8_t>(8, kCallerFill));

    Decoded Own = DecodeAllocating(F.Bytes());
    EXPECT_EQ(Own.Status, EFI_SUCCESS);
    EXPECT_EQ(Own.BufferSize, 0u);
  }
}

// Just below the pixel limit: accepted by the header checks, so the caller learns the size.
TEST_F(BitmapTest, LargestPicturesAskForTheirFullSize) {
  struct {
    uint32_t Width, Height;
    UINTN Needed;
  } Cases[] = {{1, (1u << 30) - 1, 0xFFFFFFFCu}, {32768, 32767, 32768ull * 32767 * 4}};
  for (const auto &C : Cases) {
    BmpFile F;
    F.Width = C.Width;
    F.Height = C.Height;
    F.BitsPerPixel = 24;
    Decoded D = DecodeInto(F.Bytes(), 16);
    EXPECT_EQ(D.Status, EFI_BUFFER_TOO_SMALL);
    EXPECT_EQ(D.BufferSize, C.Needed);
  }
}

}  // namespace
}  // namespace bitmap_test
