// Every refusal of DecodeBitmap and what it leaves in the outputs, with the decoder's own
// buffer and with a caller's buffer.
#include <functional>

#include "tests/logo/bitmap/BitmapTest.h"

namespace bitmap_test {
namespace {

// A small well-formed file to break: 8-bit, 3 x 2, four palette entries.
BmpFile SmallPaletteFile() {
  BmpFile F;
  F.Width = 3;
  F.Height = 2;
  F.BitsPerPixel = 8;
  F.Palette = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};
  F.PixelData = PackRows({{1, 2, 3}, {3, 2, 1}}, 8, 0);
  return F;
}

// A run-length file of 2 x 2 whose codes the cases below cut or change.
BmpFile SmallRunLengthFile(std::vector<uint8_t> Codes) {
  BmpFile F;
  F.Width = 2;
  F.Height = 2;
  F.Compression = 1;
  F.Palette = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};
  F.PixelData = std::move(Codes);
  return F;
}

std::vector<uint8_t> Patched(std::vector<uint8_t> Bytes,
                             const std::function<void(std::vector<uint8_t> &)> &Change) {
  Change(Bytes);
  return Bytes;
}

std::vector<uint8_t> Cut(std::vector<uint8_t> Bytes, size_t Length) {
  Bytes.resize(Length);
  return Bytes;
}

struct RefusalCase {
  std::string Name;
  std::vector<uint8_t> File;
};
void PrintTo(const RefusalCase &Case, std::ostream *Out) { *Out << Case.Name; }

std::string CaseName(const ::testing::TestParamInfo<RefusalCase> &Info) { return Info.param.Name; }

// ---- Refused on the headers: nothing is allocated and no output changes ----

std::vector<RefusalCase> HeaderRefusals() {
  const std::vector<uint8_t> Good = SmallPaletteFile().Bytes();
  auto WithHeader = [](uint32_t Width, uint32_t Height) {
    BmpFile F = SmallPaletteFile();
    F.Width = Width;
    F.Height = Height;
    return F.Bytes();
  };
  return {
      {"EmptyFile", {}},
      {"OneByteFile", {'B'}},
      {"LowerCaseSignature", Patched(Good, [](auto &B) { B[0] = 'b', B[1] = 'm'; })},
      {"SignatureBA", Patched(Good, [](auto &B) { B[1] = 'A'; })},
      {"CutInsideFileHeader", Cut(Good, 12)},
      {"CutInsideInfoHeader", Cut(Good, 40)},
      {"InfoHeaderOf12Bytes", Patched(Good, [](auto &B) { PutU32(B, 14, 12); })},
      {"InfoHeaderOf39Bytes", Patched(Good, [](auto &B) { PutU32(B, 14, 39); })},
      {"InfoHeaderRunsPastFile",
       Patched(Good, [&](auto &B) { PutU32(B, 14, (uint32_t)Good.size()); })},
      {"InfoHeaderSizeHuge", Patched(Good, [](auto &B) { PutU32(B, 14, 0xFFFFFFF0u); })},
      {"RunLength4Bit", Patched(Good, [](auto &B) { PutU32(B, 30, 2); })},
      {"BitFields", Patched(Good, [](auto &B) { PutU32(B, 30, 3); })},
      {"CompressionAllOnes", Patched(Good, [](auto &B) { PutU32(B, 30, 0xFFFFFFFFu); })},
      {"PixelCountExactly2To30", WithHeader(65536, 16384)},
      {"Width65536Height65536", WithHeader(65536, 65536)},
      {"TopDownHeightMinus1", WithHeader(3, 0xFFFFFFFFu)},
      {"ProductWrapsIn32Bits", WithHeader(0x10000, 0x10001)},
  };
}

class HeaderRefusal : public BitmapTest, public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(HeaderRefusal, DecoderAllocatingLeavesEveryOutputAlone) {
  Decoded D = DecodeAllocating(GetParam().File);
  EXPECT_EQ(D.Status, EFI_UNSUPPORTED);
  EXPECT_EQ(D.Buffer, nullptr);
  EXPECT_EQ(D.BufferSize, kUntouchedSize);
  EXPECT_EQ(D.Height, kUntouchedHeight);
  EXPECT_EQ(D.Width, kUntouchedWidth);
  EXPECT_EQ(Env().Pool().LiveCount(), 0u);
}

TEST_P(HeaderRefusal, CallersBufferIsLeftAsItWas) {
  Decoded D = DecodeInto(GetParam().File, 64);
  EXPECT_EQ(D.Status, EFI_UNSUPPORTED);
  EXPECT_EQ(D.BufferSize, 64u);
  EXPECT_EQ(D.Height, kUntouchedHeight);
  EXPECT_EQ(D.Width, kUntouchedWidth);
  EXPECT_EQ(D.CallerBytes, std::vector<uint8_t>(64, kCallerFill));
}

INSTANTIATE_TEST_SUITE_P(Bitmap, HeaderRefusal, ::testing::ValuesIn(HeaderRefusals()), CaseName);

// ---- Refused on the pixel data: the dimensions are stored, nothing is allocated ----

std::vector<RefusalCase> PixelDataRefusals() {
  auto WithDepth = [](uint16_t Depth) {
    BmpFile F = SmallPaletteFile();
    F.BitsPerPixel = Depth;
    F.PixelData.assign(64, 0x11);  // plenty for any depth: only the depth is wrong
    return F.Bytes();
  };
  BmpFile Palette = SmallPaletteFile();
  const std::vector<uint8_t> Good = Palette.Bytes();
  // Pixel index 200 names an entry 54 + 800 bytes in: past the end of this short file.
  BmpFile FarIndex = SmallPaletteFile();
  FarIndex.PixelData = PackRows({{1, 200, 3}, {3, 2, 1}}, 8, 0);
  // A 1-bit file whose only palette entry lies inside it; pixel data placed inside the header
  // (offset 38: the resolution fields, zero) so that a pixel of value 1 needs entry 1.
  auto OneEntryPalette = [](uint8_t RowByte) {
    BmpFile F;
    F.Width = 8;
    F.Height = 1;
    F.BitsPerPixel = 1;
    F.Palette = {0x123456};
    F.OverridePixelDataOffset = true;
    F.PixelDataOffset = 38;
    std::vector<uint8_t> B = F.Bytes();
    B[38] = RowByte;
    return B;
  };
  return {
      {"Depth0", WithDepth(0)},
      {"Depth2", WithDepth(2)},
      {"Depth16", WithDepth(16)},
      {"Depth32", WithDepth(32)},
      {"LastRowOneByteShort", Cut(Good, Palette.DataOffset() + 4 + 2)},
      {"FirstRowCut", Cut(Good, Palette.DataOffset() + 1)},
      {"NoPixelData", Cut(Good, Palette.DataOffset())},
      {"PixelDataOffsetPastFile",
       Patched(Good, [&](auto &B) { PutU32(B, 10, (uint32_t)B.size() + 100); })},
      {"PixelDataOffsetAllOnes", Patched(Good, [](auto &B) { PutU32(B, 10, 0xFFFFFFFFu); })},
      {"PaletteIndexPastFile", FarIndex.Bytes()},
      {"OneBitPaletteEntry1PastFile", OneEntryPalette(0x01)},
      {"RunLengthWithoutEndOfLine", SmallRunLengthFile({0x02, 0x01}).Bytes()},
      {"RunLengthCutInsideCode", SmallRunLengthFile({0x02, 0x01, 0x00, 0x00, 0x02}).Bytes()},
      {"RunLengthLiteralPastFile", SmallRunLengthFile({0x00, 0x05, 0x01, 0x02}).Bytes()},
      {"RunLengthLiteralPaddingPastFile",
       SmallRunLengthFile({0x00, 0x03, 0x01, 0x02, 0x03}).Bytes()},
      {"RunLengthDeltaCut", SmallRunLengthFile({0x00, 0x02, 0x01}).Bytes()},
      {"RunLengthNoCodes", SmallRunLengthFile({}).Bytes()},
      {"RunLengthPaletteIndexPastFile", SmallRunLengthFile({0x02, 0xC8, 0x00, 0x01}).Bytes()},
      {"RunLengthLiteralIndexPastFile",
       SmallRunLengthFile({0x00, 0x04, 0x01, 0xC8, 0x02, 0x03, 0x00, 0x01}).Bytes()},
      {"RunLengthOffsetPastFile", Patched(SmallRunLengthFile({0x02, 0x01, 0x00, 0x01}).Bytes(),
                                          [](auto &B) { PutU32(B, 10, (uint32_t)B.size()); })},
  };
}

class PixelDataRefusal : public BitmapTest, public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(PixelDataRefusal, DecoderAllocatesNothingAndReportsTheDimensions) {
  Decoded D = DecodeAllocating(GetParam().File);
  EXPECT_EQ(D.Status, EFI_UNSUPPORTED);
  EXPECT_EQ(D.Buffer, nullptr);
  // The size the picture would need, as if its buffer had been allocated and given back.
  EXPECT_EQ(D.BufferSize, D.Width * D.Height * 4);
  EXPECT_EQ(Env().Calls().Count(sim::Service::AllocatePool), 0u) << CallTrace();
  EXPECT_NE(D.Width, kUntouchedWidth);
  EXPECT_NE(D.Height, kUntouchedHeight);
  EXPECT_EQ(Env().Pool().LiveCount(), 0u);
  EXPECT_TRUE(Env().Pool().Errors().empty()) << Env().Pool().DescribeErrors();
}

TEST_P(PixelDataRefusal, CallersBufferIsNotWritten) {
  Decoded D = DecodeInto(GetParam().File, 128);
  EXPECT_EQ(D.Status, EFI_UNSUPPORTED);
  EXPECT_EQ(D.BufferSize, 128u);
  EXPECT_LE(D.Width * D.Height * 4, 128u);
  EXPECT_EQ(D.CallerBytes, std::vector<uint8_t>(128, kCallerFill));
}

INSTANTIATE_TEST_SUITE_P(Bitmap, PixelDataRefusal, ::testing::ValuesIn(PixelDataRefusals()),
                         CaseName);

// ---- Null arguments ----

TEST_F(BitmapTest, NullArgumentsAreRefusedWithoutTouchingTheOthers) {
  const std::vector<uint8_t> File = SmallPaletteFile().Bytes();
  EFI_GRAPHICS_OUTPUT_BLT_PIXEL *Buffer = nullptr;
  UINTN Size = kUntouchedSize, Height = kUntouchedHeight, Width = kUntouchedWidth;
  struct {
    const char *Name;
    const void *Image;
    EFI_GRAPHICS_OUTPUT_BLT_PIXEL **Buffer;
    UINTN *Size, *Height, *Width;
  } Cases[] = {
      {"Image", nullptr, &Buffer, &Size, &Height, &Width},
      {"OutBuffer", File.data(), nullptr, &Size, &Height, &Width},
      {"OutBufferSize", File.data(), &Buffer, nullptr, &Height, &Width},
      {"OutHeight", File.data(), &Buffer, &Size, nullptr, &Width},
      {"OutWidth", File.data(), &Buffer, &Size, &Height, nullptr},
  };
  for (const auto &C : Cases) {
    SCOPED_TRACE(C.Name);
    EXPECT_EQ(DecodeBitmap(C.Image, File.size(), C.Buffer, C.Size, C.Height, C.Width),
              EFI_INVALID_PARAMETER);
    EXPECT_EQ(Buffer, nullptr);
    EXPECT_EQ(Size, kUntouchedSize);
    EXPECT_EQ(Height, kUntouchedHeight);
    EXPECT_EQ(Width, kUntouchedWidth);
    EXPECT_EQ(Env().Pool().LiveCount(), 0u);
  }
}

}  // namespace
}  // namespace bitmap_test
