// Run-length 8-bit pictures: every code, lines that overshoot the right edge, deltas, and
// pixels no code reaches.
#include "tests/logo/bitmap/BitmapTest.h"

namespace bitmap_test {
namespace {

Colour PaletteColour(uint32_t Index) { return (Index * 0x010101u) ^ 0x804020u; }

struct Rle8Case {
  std::string Name;
  uint32_t Width, Height;
  std::vector<uint8_t> Codes;
  // Top row first: a hex digit is the palette index of the pixel, '.' a pixel no code reaches.
  std::vector<std::string> Picture;
};
void PrintTo(const Rle8Case &Case, std::ostream *Out) { *Out << Case.Name; }

// clang-format off
std::vector<Rle8Case> Cases() {
  return {
      {"RunOfThree", 3, 1, {0x03, 0x05, 0x00, 0x01}, {"555"}},
      // 00 03 01 02 03 00: three literal pixels and a pad byte, six bytes in all.
      {"OddLiteralIsPadded", 4, 1, {0x00, 0x03, 0x01, 0x02, 0x03, 0x00, 0x01, 0x04, 0x00, 0x01},
       {"1234"}},
      {"EvenLiteral", 4, 1, {0x00, 0x04, 0x0A, 0x0B, 0x0C, 0x0D, 0x00, 0x01}, {"abcd"}},
      // 00 02 04 01: four columns right and one row up the picture.
      {"DeltaRightAndUp", 6, 2, {0x01, 0x01, 0x00, 0x02, 0x04, 0x01, 0x01, 0x02, 0x00, 0x01},
       {".....2", "1....."}},
      {"EndOfLineAfterAFullRow", 2, 3,
       {0x02, 0x01, 0x00, 0x00, 0x02, 0x02, 0x00, 0x00, 0x01, 0x03, 0x00, 0x00},
       {"3.", "22", "11"}},
      {"EndOfLineEarlyLeavesTheRestOfTheRow", 3, 2,
       {0x01, 0x07, 0x00, 0x00, 0x02, 0x08, 0x00, 0x01},
       {"88.", "7.."}},
      {"EndOfBitmapEndsThePicture", 2, 3, {0x02, 0x01, 0x00, 0x01, 0x02, 0x02}, {"..", "..", "11"}},
      // The last line ends at its end-of-line: no end-of-bitmap needed, nothing read after it.
      {"LastLineNeedsNoEndOfBitmap", 1, 1, {0x01, 0x03, 0x00, 0x00}, {"3"}},
      // Runs that cross the right edge are cut there, and the line still ends at its own
      // end-of-line code rather than sliding the next line up.
      {"RunPastTheRightEdge", 3, 2, {0x04, 0x01, 0x00, 0x00, 0x04, 0x02, 0x00, 0x01},
       {"222", "111"}},
      {"RunsPastTheRightEdgeInTwoSteps", 3, 2,
       {0x02, 0x01, 0x02, 0x02, 0x00, 0x00, 0x03, 0x03, 0x01, 0x04, 0x00, 0x01},
       {"333", "112"}},
      {"LiteralPastTheRightEdge", 3, 2,
       {0x00, 0x04, 0x01, 0x02, 0x03, 0x04, 0x00, 0x00, 0x03, 0x05, 0x00, 0x01},
       {"555", "123"}},
      {"DeltaPastTheRightEdge", 3, 2,
       {0x00, 0x02, 0x05, 0x00, 0x01, 0x07, 0x00, 0x00, 0x01, 0x06, 0x00, 0x01},
       {"6..", "..."}},
      // A delta above the top row ends the picture: nothing further can land in it, and the
      // file may end right there.
      {"DeltaAboveTheTopRow", 2, 2, {0x02, 0x01, 0x00, 0x02, 0x00, 0x05}, {"..", "11"}},
      {"DeltaToTheTopRowStillDraws", 2, 3, {0x00, 0x02, 0x01, 0x02, 0x01, 0x09, 0x00, 0x01},
       {".9", "..", ".."}},
      // Wide rows, where runs may be written in whole groups of eight: what lies past a run
      // still ends up as the next code or the end of the line says.
      {"ShortRunsInWideRows", 20, 3,
       {0x03, 0x01, 0x00, 0x00,
        0x02, 0x02, 0x00, 0x02, 0x03, 0x00, 0x09, 0x03, 0x00, 0x00,
        0x01, 0x04, 0x0B, 0x05, 0x00, 0x01},
       {"455555555555........", "22...333333333......", "111................."}},
      // Nothing but padding pixels: run-length data of zero width still ends each line.
      {"ZeroWidth", 0, 2, {0x03, 0x01, 0x00, 0x00, 0x00, 0x00}, {"", ""}},
  };
}
// clang-format on

std::vector<uint32_t> PictureWords(const std::vector<std::string> &Picture) {
  std::vector<uint32_t> Out;
  for (const std::string &Row : Picture)
    for (char C : Row)
      Out.push_back(C == '.' ? 0u
                             : Px(PaletteColour(std::stoul(std::string(1, C), nullptr, 16)), 0));
  return Out;
}

BmpFile RunLengthFile(const Rle8Case &C) {
  BmpFile F;
  F.Width = C.Width;
  F.Height = C.Height;
  F.Compression = 1;
  for (uint32_t i = 0; i < 16; ++i) F.Palette.push_back(PaletteColour(i));
  F.PixelData = C.Codes;
  return F;
}

class Rle8Codes : public BitmapTest, public ::testing::WithParamInterface<Rle8Case> {};

TEST_P(Rle8Codes, DrawWhatTheCodesSay) {
  const Rle8Case &C = GetParam();
  Decoded Own = DecodeAllocating(RunLengthFile(C).Bytes());
  ASSERT_EQ(Own.Status, EFI_SUCCESS);
  EXPECT_EQ(Own.Width, C.Width);
  EXPECT_EQ(Own.Height, C.Height);
  EXPECT_EQ(Own.Pixels, PictureWords(C.Picture));

  // Into a caller's buffer exactly the picture's size: cleared first, reserved bytes too.
  Decoded Into = DecodeInto(RunLengthFile(C).Bytes(), C.Width * C.Height * 4);
  ASSERT_EQ(Into.Status, EFI_SUCCESS);
  EXPECT_EQ(Into.Pixels, PictureWords(C.Picture));
}

INSTANTIATE_TEST_SUITE_P(Bitmap, Rle8Codes, ::testing::ValuesIn(Cases()),
                         [](const auto &Info) { return Info.param.Name; });

// The depth field means nothing to run-length data.
TEST_F(BitmapTest, RunLengthIgnoresTheDepthField) {
  for (uint16_t Depth : {0, 8, 16, 32}) {
    Rle8Case C{"", 2, 1, {0x02, 0x04, 0x00, 0x01}, {"44"}};
    BmpFile F = RunLengthFile(C);
    F.BitsPerPixel = Depth;
    Decoded D = DecodeAllocating(F.Bytes());
    ASSERT_EQ(D.Status, EFI_SUCCESS) << Depth;
    EXPECT_EQ(D.Pixels, PictureWords(C.Picture)) << Depth;
  }
}

// Pixels cut off at the right edge do not use their palette entries: one past the file is fine.
TEST_F(BitmapTest, RunLengthPixelsPastTheEdgeNeedNoPaletteEntry) {
  BmpFile F;
  F.Width = 1;
  F.Height = 1;
  F.Compression = 1;
  F.Palette = {0x111111, 0x222222};
  F.PixelData = {0x01, 0x01, 0x01, 0xC8, 0x00, 0x03, 0x01, 0xC8, 0xC8, 0x00, 0x00, 0x01};
  Decoded D = DecodeAllocating(F.Bytes());
  ASSERT_EQ(D.Status, EFI_SUCCESS);
  EXPECT_EQ(D.Pixels, std::vector<uint32_t>{Px(0x222222, 0)});
}

}  // namespace
}  // namespace bitmap_test
