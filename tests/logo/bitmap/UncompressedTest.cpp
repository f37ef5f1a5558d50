// Uncompressed pictures: pixel order within a byte, row alignment per depth, bottom-up rows,
// where the palette lies, and the reserved byte of every pixel.
#include "tests/logo/bitmap/BitmapTest.h"

namespace bitmap_test {
namespace {

// Sixteen colours with no byte shared between neighbours, so a misplaced index shows.
std::vector<Colour> TestPalette(size_t Entries) {
  std::vector<Colour> P;
  for (size_t i = 0; i < Entries; ++i) P.push_back((Colour)((i * 0x2F1B07u + 0x0A0B0C) & 0xFFFFFF));
  return P;
}

// ---- Byte layouts written out by hand ----

struct LayoutCase {
  std::string Name;
  uint16_t Depth;
  uint32_t Width, Height;
  std::vector<uint8_t> PixelData;              // bottom row first, as stored
  std::vector<std::vector<uint32_t>> TopDown;  // palette indices, or 0xRRGGBB at 24 bits
};
void PrintTo(const LayoutCase &Case, std::ostream *Out) { *Out << Case.Name; }

// clang-format off
std::vector<LayoutCase> Layouts() {
  return {
      // One byte (bits 7, 6, 5) and three bytes of alignment per row; the alignment and unused
      // bits are set so that reading them changes the picture.
      {"OneBitWidth3", 1, 3, 2,
       {0xBF, 0xFF, 0xFF, 0xFF, 0x5F, 0xFF, 0xFF, 0xFF},
       {{0, 1, 0}, {1, 0, 1}}},
      // Three bytes and one of alignment per row; the low nibble of the third is not a pixel.
      {"FourBitWidth5", 4, 5, 2,
       {0x12, 0x34, 0x5F, 0xFF, 0xAB, 0xCD, 0xEF, 0xFF},
       {{0xA, 0xB, 0xC, 0xD, 0xE}, {1, 2, 3, 4, 5}}},
      {"EightBitWidth3", 8, 3, 2,
       {0x01, 0x02, 0x03, 0xFF, 0x0C, 0x0D, 0x0E, 0xFF},
       {{0xC, 0xD, 0xE}, {1, 2, 3}}},
      // Three bytes and one of alignment per row.
      {"TwentyFourBitWidth1", 24, 1, 3,
       {0x01, 0x02, 0x03, 0xEE, 0x11, 0x12, 0x13, 0xEE, 0x21, 0x22, 0x23, 0xEE},
       {{0x232221}, {0x131211}, {0x030201}}},
      {"TwentyFourBitWidth2", 24, 2, 1,
       {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0xEE, 0xEE},
       {{0x030201, 0x060504}}},
  };
}
// clang-format on

std::vector<uint32_t> Expected(const std::vector<std::vector<uint32_t>> &TopDown, uint16_t Depth,
                               const std::vector<Colour> &Palette, uint8_t Reserved) {
  std::vector<uint32_t> Out;
  for (const auto &Row : TopDown)
    for (uint32_t V : Row) Out.push_back(Px(Depth == 24 ? V : Palette.at(V), Reserved));
  return Out;
}

class RowLayout : public BitmapTest, public ::testing::WithParamInterface<LayoutCase> {};

TEST_P(RowLayout, DecodesThePixelsAndSkipsTheAlignment) {
  const LayoutCase &C = GetParam();
  BmpFile F;
  F.Width = C.Width;
  F.Height = C.Height;
  F.BitsPerPixel = C.Depth;
  if (C.Depth != 24) F.Palette = TestPalette(1u << C.Depth);
  F.PixelData = C.PixelData;
  // The builder agrees with the hand-written bytes, so the generated cases below rest on it.
  EXPECT_EQ(PackRows(C.TopDown, C.Depth, C.Depth == 24 ? 0xEE : 0xFF), C.PixelData);

  Decoded Into = DecodeInto(F.Bytes(), C.Width * C.Height * 4);
  ASSERT_EQ(Into.Status, EFI_SUCCESS);
  EXPECT_EQ(Into.Pixels, Expected(C.TopDown, C.Depth, F.Palette, kCallerFill));

  Decoded Own = DecodeAllocating(F.Bytes());
  ASSERT_EQ(Own.Status, EFI_SUCCESS);
  EXPECT_EQ(Own.Pixels, Expected(C.TopDown, C.Depth, F.Palette, kOwnBufferReserved));
}

INSTANTIATE_TEST_SUITE_P(Bitmap, RowLayout, ::testing::ValuesIn(Layouts()),
                         [](const auto &Info) { return Info.param.Name; });

// ---- Every depth at widths that end rows at each bit and byte position ----

struct SizeCase {
  uint16_t Depth;
  uint32_t Width, Height;
};
void PrintTo(const SizeCase &Case, std::ostream *Out) {
  *Out << "depth " << Case.Depth << ", " << Case.Width << " x " << Case.Height;
}

std::vector<SizeCase> Sizes() {
  std::vector<SizeCase> Cases;
  for (uint16_t Depth : {1, 4, 8, 24})
    for (uint32_t Width : {1u, 2u, 3u, 4u, 5u, 7u, 8u, 9u, 15u, 16u, 17u, 33u})
      Cases.push_back({Depth, Width, Width % 3 + 1});
  return Cases;
}

class RowSizes : public BitmapTest, public ::testing::WithParamInterface<SizeCase> {};

TEST_P(RowSizes, EveryPixelLandsInPlace) {
  const SizeCase &C = GetParam();
  const uint32_t Values = C.Depth == 24 ? 0 : 1u << C.Depth;
  std::vector<std::vector<uint32_t>> TopDown(C.Height, std::vector<uint32_t>(C.Width));
  uint32_t Seed = 12345;
  for (auto &Row : TopDown)
    for (uint32_t &V : Row) {
      Seed = Seed * 1103515245u + 12345u;
      V = C.Depth == 24 ? (Seed >> 8) & 0xFFFFFF : (Seed >> 16) % Values;
    }
  BmpFile F;
  F.Width = C.Width;
  F.Height = C.Height;
  F.BitsPerPixel = C.Depth;
  if (C.Depth != 24) F.Palette = TestPalette(Values);
  F.PixelData = PackRows(TopDown, C.Depth, 0xA5);
  // The last row without its alignment: only pixel bytes have to be in the file.
  F.PixelData.resize(F.PixelData.size() - ((4 - (C.Width * C.Depth + 7) / 8 % 4) % 4));

  Decoded Into = DecodeInto(F.Bytes(), C.Width * C.Height * 4);
  ASSERT_EQ(Into.Status, EFI_SUCCESS);
  EXPECT_EQ(Into.Pixels, Expected(TopDown, C.Depth, F.Palette, kCallerFill));

  Decoded Own = DecodeAllocating(F.Bytes());
  ASSERT_EQ(Own.Status, EFI_SUCCESS);
  EXPECT_EQ(Own.Pixels, Expected(TopDown, C.Depth, F.Palette, kOwnBufferReserved));
}

INSTANTIATE_TEST_SUITE_P(Bitmap, RowSizes, ::testing::ValuesIn(Sizes()), [](const auto &Info) {
  return "Depth" + std::to_string(Info.param.Depth) + "Width" + std::to_string(Info.param.Width);
});

// ---- Where the palette is ----

class PaletteAfterInfoHeader : public BitmapTest, public ::testing::WithParamInterface<uint32_t> {};

TEST_P(PaletteAfterInfoHeader, ColoursComeFromTheEndOfTheInformationHeader) {
  BmpFile F;
  F.Width = 4;
  F.Height = 1;
  F.BitsPerPixel = 8;
  F.InfoHeaderSize = GetParam();
  F.Palette = TestPalette(4);
  F.PaletteFourthByte = 0x77;  // not part of a colour
  F.PixelData = PackRows({{3, 2, 1, 0}}, 8, 0);
  std::vector<uint8_t> Bytes = F.Bytes();
  // Fill what follows the first 40 header bytes, where a palette taken at offset 54 would be.
  for (size_t i = 54; i < 14 + F.InfoHeaderSize; ++i) Bytes[i] = (uint8_t)(0x90 + i);

  Decoded D = DecodeInto(Bytes, 16);
  ASSERT_EQ(D.Status, EFI_SUCCESS);
  EXPECT_EQ(D.Pixels, Expected({{3, 2, 1, 0}}, 8, F.Palette, kCallerFill));
}

INSTANTIATE_TEST_SUITE_P(Bitmap, PaletteAfterInfoHeader,
                         ::testing::Values(40u, 52u, 56u, 108u, 124u),
                         [](const auto &Info) { return "Header" + std::to_string(Info.param); });

// A palette cut short by the end of the file is fine as long as no pixel uses the missing
// entries. The pixel data sits inside the header here (offset 38: resolution fields, zero).
TEST_F(BitmapTest, PaletteCutShortDecodesWhenOnlyEntriesInsideTheFileAreUsed) {
  BmpFile F;
  F.Width = 8;
  F.Height = 1;
  F.BitsPerPixel = 1;
  F.Palette = {0x123456};
  F.OverridePixelDataOffset = true;
  F.PixelDataOffset = 38;
  Decoded D = DecodeAllocating(F.Bytes());
  ASSERT_EQ(D.Status, EFI_SUCCESS);
  EXPECT_EQ(D.Pixels, std::vector<uint32_t>(8, Px(0x123456, kOwnBufferReserved)));
}

}  // namespace
}  // namespace bitmap_test
