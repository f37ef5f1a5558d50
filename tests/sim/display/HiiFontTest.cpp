// The simulated HII font: where StringToImage puts its 8 x 19 cells, in which colours, what it
// leaves out at the screen's edges, what it refuses, and who owns what it allocates.
#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "sim/uefi/display/GraphicsOutputDevice.h"
#include "sim/uefi/display/HiiFont.h"
#include "tests/sim/display/DisplayTestPixels.h"
#include "tests/support/UefiTest.h"

namespace sim {
namespace {

constexpr uint32_t kScreenWidth = 100, kScreenHeight = 40;
constexpr EFI_GRAPHICS_OUTPUT_BLT_PIXEL kYellow{0x10, 0xFF, 0xFF, 0};
constexpr EFI_GRAPHICS_OUTPUT_BLT_PIXEL kBlue{0x98, 0x00, 0x00, 0};
constexpr UINTN kCellPixels = HiiFont::kGlyphWidth * HiiFont::kGlyphHeight;

size_t ForegroundPixelsPerCell() {
  size_t count = 0;
  for (unsigned row = 0; row < HiiFont::kGlyphHeight; ++row)
    for (unsigned column = 0; column < HiiFont::kGlyphWidth; ++column)
      count += HiiFont::IsForegroundPixel(column, row);
  return count;
}

EFI_FONT_DISPLAY_INFO DisplayInfo(EFI_GRAPHICS_OUTPUT_BLT_PIXEL fg,
                                  EFI_GRAPHICS_OUTPUT_BLT_PIXEL bg) {
  EFI_FONT_DISPLAY_INFO info{};
  info.ForegroundColor = fg;
  info.BackgroundColor = bg;
  return info;
}

class HiiFontTest : public UefiTest {
 protected:
  void SetUp() override {
    UefiTest::SetUp();
    PaintPattern(gop_.Screen());
    screenRecord_.Width = kScreenWidth;
    screenRecord_.Height = kScreenHeight;
    screenRecord_.Image.Screen = gop_.Protocol();
  }

  EFI_STATUS DrawDirect(const std::u16string &text, UINTN x, UINTN y,
                        EFI_HII_OUT_FLAGS extraFlags = 0) {
    std::u16string copy = text;
    EFI_IMAGE_OUTPUT *output = &screenRecord_;
    return font_.Protocol()->StringToImage(font_.Protocol(), EFI_HII_DIRECT_TO_SCREEN | extraFlags,
                                           reinterpret_cast<CHAR16 *>(copy.data()), &info_,
                                           &output, x, y, nullptr, nullptr, nullptr);
  }

  bool ScreenUntouched() const {
    for (uint32_t y = 0; y < kScreenHeight; ++y)
      for (uint32_t x = 0; x < kScreenWidth; ++x)
        if (PixelValue(gop_.Screen().At(x, y)) != PixelValue(ScreenPattern(x, y))) return false;
    return true;
  }

  GraphicsOutputDevice gop_{{{kScreenWidth, kScreenHeight}}};
  HiiFont font_;
  EFI_IMAGE_OUTPUT screenRecord_{};
  EFI_FONT_DISPLAY_INFO info_ = DisplayInfo(kYellow, kBlue);
};

// ---- Placement and clipping, as a table ----

struct PlacementCase {
  const char *name;
  EFI_HII_OUT_FLAGS extraFlags;
  std::u16string text;
  UINTN x, y;
  UINTN cells, width, height;  // what must be drawn at (x, y)
};

class HiiFontPlacement : public HiiFontTest, public ::testing::WithParamInterface<PlacementCase> {};

TEST_P(HiiFontPlacement, DrawsExactlyTheCellsThatFit) {
  const PlacementCase &c = GetParam();
  ASSERT_EQ(DrawDirect(c.text, c.x, c.y, c.extraFlags), EFI_SUCCESS);

  for (uint32_t y = 0; y < kScreenHeight; ++y) {
    for (uint32_t x = 0; x < kScreenWidth; ++x) {
      uint32_t expected = PixelValue(ScreenPattern(x, y));
      if (x >= c.x && x - c.x < c.width && y >= c.y && y - c.y < c.height) {
        bool fg = HiiFont::IsForegroundPixel(unsigned((x - c.x) % 8), unsigned(y - c.y));
        expected = PixelValue(fg ? kYellow : kBlue);
      }
      ASSERT_EQ(PixelValue(gop_.Screen().At(x, y)), expected) << "pixel (" << x << ", " << y << ")";
    }
  }
  ASSERT_EQ(font_.Calls().size(), 1u);
  EXPECT_EQ(font_.Calls()[0].CellsDrawn, c.cells);
  // One block transfer per row at most, and the screen never had to refuse one.
  EXPECT_LE(gop_.BltCalls().size(), 1u);
  for (const BltCall &blt : gop_.BltCalls()) EXPECT_EQ(blt.Status, EFI_SUCCESS);
}

constexpr UINTN kMax = std::numeric_limits<UINTN>::max();

INSTANTIATE_TEST_SUITE_P(
    Cases, HiiFontPlacement,
    ::testing::Values(
        PlacementCase{"ThreeCellsAtOrigin", 0, u"abc", 0, 0, 3, 24, 19},
        PlacementCase{"ThreeCellsInside", 0, u"abc", 10, 5, 3, 24, 19},
        PlacementCase{"StopsAtLineFeed", 0, u"Ready\nSet", 2, 2, 5, 40, 19},
        PlacementCase{"StopsAtCarriageReturn", 0, u"ab\rcd", 2, 2, 2, 16, 19},
        PlacementCase{"IgnoreLineBreakSkipsThem", EFI_HII_IGNORE_LINE_BREAK, u"ab\ncd", 0, 0, 4,
                      32, 19},
        PlacementCase{"LastCellAtTheRightEdge", 0, u"abc", 76, 0, 3, 24, 19},
        PlacementCase{"CellPastTheRightEdgeLeftOut", 0, u"abc", 77, 0, 2, 16, 19},
        PlacementCase{"RowAtTheBottomEdge", 0, u"abc", 0, 21, 3, 24, 19},
        PlacementCase{"RowPastTheBottomEdgeLeftOut", 0, u"abc", 0, 22, 0, 0, 0},
        PlacementCase{"StartRightOfTheScreen", 0, u"a", 100, 0, 0, 0, 0},
        PlacementCase{"StartBelowTheScreen", 0, u"a", 0, 40, 0, 0, 0},
        PlacementCase{"HugePositionDoesNotWrap", 0, u"abc", kMax - 3, kMax - 3, 0, 0, 0},
        PlacementCase{"EmptyString", 0, u"", 0, 0, 0, 0, 0},
        PlacementCase{"ClipDrawsPartOfTheLastCell", EFI_HII_OUT_FLAG_CLIP, u"abc", 77, 0, 3, 23,
                      19},
        PlacementCase{"ClipCleanXDropsTheCutCell",
                      EFI_HII_OUT_FLAG_CLIP | EFI_HII_OUT_FLAG_CLIP_CLEAN_X, u"abc", 77, 0, 2, 16,
                      19},
        PlacementCase{"ClipDrawsTheTopOfACutRow", EFI_HII_OUT_FLAG_CLIP, u"ab", 0, 30, 2, 16, 10},
        PlacementCase{"ClipCleanYDropsACutRow",
                      EFI_HII_OUT_FLAG_CLIP | EFI_HII_OUT_FLAG_CLIP_CLEAN_Y, u"ab", 0, 30, 0, 0,
                      0}),
    [](const auto &info) { return std::string(info.param.name); });

// ---- Colours ----

TEST_F(HiiFontTest, EachCellHasBothColoursOfTheDisplayInformation) {
  ASSERT_EQ(DrawDirect(u"Hi", 20, 10), EFI_SUCCESS);
  for (uint32_t cell = 0; cell < 2; ++cell) {
    uint32_t x = 20 + cell * 8;
    EXPECT_EQ(gop_.Screen().CountInRect(x, 10, 8, 19, kYellow), ForegroundPixelsPerCell());
    EXPECT_EQ(gop_.Screen().CountInRect(x, 10, 8, 19, kBlue),
              kCellPixels - ForegroundPixelsPerCell());
  }
  ASSERT_EQ(font_.Calls().size(), 1u);
  const HiiFont::Call &call = font_.Calls()[0];
  EXPECT_EQ(call.Text, u"Hi");
  EXPECT_EQ(PixelValue(call.Foreground), PixelValue(kYellow));
  EXPECT_EQ(PixelValue(call.Background), PixelValue(kBlue));
  EXPECT_EQ(call.X, 20u);
  EXPECT_EQ(call.Y, 10u);
  EXPECT_EQ(call.Screen, gop_.Protocol());
  EXPECT_EQ(call.Width, kScreenWidth);
  EXPECT_EQ(call.Height, kScreenHeight);
  EXPECT_EQ(call.Flags, EFI_HII_DIRECT_TO_SCREEN);
}

TEST_F(HiiFontTest, WithoutDisplayInformationTheSystemColoursAreUsed) {
  std::u16string text = u"a";
  EFI_IMAGE_OUTPUT *output = &screenRecord_;
  ASSERT_EQ(font_.Protocol()->StringToImage(font_.Protocol(), EFI_HII_DIRECT_TO_SCREEN,
                                            reinterpret_cast<CHAR16 *>(text.data()), nullptr,
                                            &output, 0, 0, nullptr, nullptr, nullptr),
            EFI_SUCCESS);
  EXPECT_EQ(gop_.Screen().CountInRect(0, 0, 8, 19, HiiFont::kDefaultForeground),
            ForegroundPixelsPerCell());
  // The mask can ask for the system's colour for one of the two only.
  info_.FontInfoMask = HiiFont::kSysBackColor;
  ASSERT_EQ(DrawDirect(u"a", 50, 0), EFI_SUCCESS);
  EXPECT_EQ(gop_.Screen().CountInRect(50, 0, 8, 19, kYellow), ForegroundPixelsPerCell());
  EXPECT_EQ(gop_.Screen().CountInRect(50, 0, 8, 19, HiiFont::kDefaultBackground),
            kCellPixels - ForegroundPixelsPerCell());
}

TEST_F(HiiFontTest, TransparentTextKeepsWhatWasUnderTheBackground) {
  ASSERT_EQ(DrawDirect(u"a", 30, 4, EFI_HII_OUT_FLAG_TRANSPARENT), EFI_SUCCESS);
  EXPECT_EQ(gop_.Screen().CountInRect(30, 4, 8, 19, kYellow), ForegroundPixelsPerCell());
  EXPECT_EQ(gop_.Screen().CountInRect(30, 4, 8, 19, kBlue), 0u);
  EXPECT_EQ(PixelValue(gop_.Screen().At(30, 4)), PixelValue(ScreenPattern(30, 4)));
}

TEST_F(HiiFontTest, TheScreenRecordCannotWidenTheScreen) {
  // A record that claims a larger screen than the current mode: the mode bounds the drawing.
  screenRecord_.Width = 0xFFFF;
  screenRecord_.Height = 0xFFFF;
  ASSERT_EQ(DrawDirect(u"abc", 90, 0), EFI_SUCCESS);
  EXPECT_EQ(font_.Calls()[0].CellsDrawn, 1u);
  EXPECT_EQ(gop_.Screen().CountInRect(90, 0, 8, 19, kYellow), ForegroundPixelsPerCell());
  EXPECT_EQ(gop_.Screen().CountInRect(98, 0, 2, 19, kYellow), 0u);
}

// ---- Refusals ----

struct RefusalCase {
  const char *name;
  EFI_HII_OUT_FLAGS flags;
  bool nullString, nullBltPointer, nullImage, nullScreen;
};

class HiiFontRefusal : public HiiFontTest, public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(HiiFontRefusal, InvalidParameterNothingDrawnNothingAllocated) {
  const RefusalCase &c = GetParam();
  std::u16string text = u"abc";
  if (c.nullScreen) screenRecord_.Image.Screen = nullptr;
  EFI_IMAGE_OUTPUT *output = c.nullImage ? nullptr : &screenRecord_;
  EXPECT_EQ(font_.Protocol()->StringToImage(
                font_.Protocol(), c.flags,
                c.nullString ? nullptr : reinterpret_cast<CHAR16 *>(text.data()), &info_,
                c.nullBltPointer ? nullptr : &output, 0, 0, nullptr, nullptr, nullptr),
            EFI_INVALID_PARAMETER);
  EXPECT_TRUE(ScreenUntouched());
  EXPECT_TRUE(gop_.BltCalls().empty());
  EXPECT_EQ(Env().Pool().LiveCount(), 0u);
  ASSERT_EQ(font_.Calls().size(), 1u);
  EXPECT_EQ(font_.Calls()[0].Status, EFI_INVALID_PARAMETER);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HiiFontRefusal,
    ::testing::Values(
        RefusalCase{"NullString", EFI_HII_DIRECT_TO_SCREEN, true, false, false, false},
        RefusalCase{"NullBltPointer", EFI_HII_DIRECT_TO_SCREEN, false, true, false, false},
        RefusalCase{"DirectWithoutImageRecord", EFI_HII_DIRECT_TO_SCREEN, false, false, true,
                    false},
        RefusalCase{"DirectWithNullScreen", EFI_HII_DIRECT_TO_SCREEN | EFI_HII_IGNORE_IF_NO_GLYPH,
                    false, false, false, true},
        RefusalCase{"BitmapRecordWithNullBitmap", 0, false, false, false, true},
        RefusalCase{"CleanXWithoutClip", EFI_HII_DIRECT_TO_SCREEN | EFI_HII_OUT_FLAG_CLIP_CLEAN_X,
                    false, false, false, false},
        RefusalCase{"CleanYWithoutClip", EFI_HII_DIRECT_TO_SCREEN | EFI_HII_OUT_FLAG_CLIP_CLEAN_Y,
                    false, false, false, false},
        RefusalCase{"WrapWithCleanX",
                    EFI_HII_DIRECT_TO_SCREEN | EFI_HII_OUT_FLAG_CLIP | EFI_HII_OUT_FLAG_WRAP |
                        EFI_HII_OUT_FLAG_CLIP_CLEAN_X,
                    false, false, false, false}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(HiiFontTest, InjectedFailureDrawsNothingOnce) {
  font_.FailNextCall(EFI_OUT_OF_RESOURCES);
  EXPECT_EQ(DrawDirect(u"abc", 0, 0), EFI_OUT_OF_RESOURCES);
  EXPECT_TRUE(ScreenUntouched());
  EXPECT_EQ(DrawDirect(u"abc", 0, 0), EFI_SUCCESS);
  ASSERT_EQ(font_.Calls().size(), 2u);
  EXPECT_EQ(font_.Calls()[0].Status, EFI_OUT_OF_RESOURCES);
  EXPECT_EQ(font_.Calls()[0].Text, u"abc");
}

TEST_F(HiiFontTest, AFailingScreenBltIsReported) {
  gop_.FailNextBlt(EFI_DEVICE_ERROR);
  EXPECT_EQ(DrawDirect(u"abc", 0, 0), EFI_DEVICE_ERROR);
  EXPECT_TRUE(ScreenUntouched());
  EXPECT_EQ(font_.Calls()[0].Status, EFI_DEVICE_ERROR);
}

// ---- Images the font allocates, and row and column information ----

TEST_F(HiiFontTest, WithoutAnImageOneIsAllocatedForTheCallerToFree) {
  std::u16string text = u"ab";
  EFI_IMAGE_OUTPUT *image = nullptr;
  ASSERT_EQ(font_.Protocol()->StringToImage(font_.Protocol(), 0,
                                            reinterpret_cast<CHAR16 *>(text.data()), &info_,
                                            &image, 0, 0, nullptr, nullptr, nullptr),
            EFI_SUCCESS);
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->Width, 16);
  EXPECT_EQ(image->Height, 19);
  ASSERT_NE(Env().Pool().Find(image), nullptr);
  ASSERT_NE(Env().Pool().Find(image->Image.Bitmap), nullptr);
  EXPECT_EQ(Env().Pool().Find(image->Image.Bitmap)->size, 16u * 19u * 4u);
  size_t foreground = 0;
  for (size_t i = 0; i < 16u * 19u; ++i)
    foreground += PixelValue(image->Image.Bitmap[i]) == PixelValue(kYellow);
  EXPECT_EQ(foreground, 2 * ForegroundPixelsPerCell());
  EXPECT_TRUE(ScreenUntouched());
  BootServices()->FreePool(image->Image.Bitmap);
  BootServices()->FreePool(image);
  EXPECT_EQ(Env().Pool().LiveCount(), 0u);
}

TEST_F(HiiFontTest, AllocationFailuresLeaveNothingBehind) {
  for (unsigned nth : {1u, 2u}) {
    std::u16string text = u"ab";
    EFI_IMAGE_OUTPUT *image = nullptr;
    Env().Pool().FailNthAllocation(nth);
    EXPECT_EQ(font_.Protocol()->StringToImage(font_.Protocol(), 0,
                                              reinterpret_cast<CHAR16 *>(text.data()), &info_,
                                              &image, 0, 0, nullptr, nullptr, nullptr),
              EFI_OUT_OF_RESOURCES)
        << "allocation " << nth;
    EXPECT_EQ(image, nullptr);
    EXPECT_EQ(Env().Pool().LiveCount(), 0u) << "allocation " << nth;
  }
}

TEST_F(HiiFontTest, DrawsIntoAGivenImageWithinItsBounds) {
  std::vector<EFI_GRAPHICS_OUTPUT_BLT_PIXEL> pixels = PatternBuffer(20, 19);
  EFI_IMAGE_OUTPUT record{};
  record.Width = 20;
  record.Height = 19;
  record.Image.Bitmap = pixels.data();
  EFI_IMAGE_OUTPUT *image = &record;
  std::u16string text = u"abc";
  ASSERT_EQ(font_.Protocol()->StringToImage(font_.Protocol(), 0,
                                            reinterpret_cast<CHAR16 *>(text.data()), &info_,
                                            &image, 2, 0, nullptr, nullptr, nullptr),
            EFI_SUCCESS);
  EXPECT_EQ(image, &record);
  EXPECT_EQ(font_.Calls()[0].CellsDrawn, 2u);  // 2 + 16 = 18; a third cell would end at 26
  for (uint32_t y = 0; y < 19; ++y) {
    for (uint32_t x : {0u, 1u, 18u, 19u}) {
      EXPECT_EQ(PixelValue(pixels[y * 20 + x]), PixelValue(BufferPattern(x, y)));
    }
  }
  EXPECT_EQ(PixelValue(pixels[3 * 20 + 3]), PixelValue(kYellow));  // frame corner of cell 0
}

TEST_F(HiiFontTest, RowAndColumnInformationDescribeTheDrawnCells) {
  std::u16string text = u"ab\ncd";
  EFI_IMAGE_OUTPUT *output = &screenRecord_;
  EFI_HII_ROW_INFO *rows = nullptr;
  UINTN rowCount = 0;
  std::vector<UINTN> columns(text.size(), 1234);
  ASSERT_EQ(font_.Protocol()->StringToImage(font_.Protocol(), EFI_HII_DIRECT_TO_SCREEN,
                                            reinterpret_cast<CHAR16 *>(text.data()), &info_,
                                            &output, 40, 3, &rows, &rowCount, columns.data()),
            EFI_SUCCESS);
  ASSERT_NE(rows, nullptr);
  EXPECT_EQ(rowCount, 1u);
  EXPECT_EQ(rows[0].StartIndex, 0u);
  EXPECT_EQ(rows[0].EndIndex, 1u);
  EXPECT_EQ(rows[0].LineHeight, 19u);
  EXPECT_EQ(rows[0].LineWidth, 16u);
  EXPECT_EQ(columns, (std::vector<UINTN>{40, 48, ~UINTN(0), ~UINTN(0), ~UINTN(0)}));
  ASSERT_NE(Env().Pool().Find(rows), nullptr);
  BootServices()->FreePool(rows);
  EXPECT_EQ(Env().Pool().LiveCount(), 0u);
}

TEST_F(HiiFontTest, OtherServicesAreUnsupported) {
  EXPECT_EQ(font_.Protocol()->GetGlyph(font_.Protocol(), u'a', &info_, nullptr, nullptr),
            EFI_UNSUPPORTED);
  EXPECT_EQ(font_.Protocol()->GetFontInfo(font_.Protocol(), nullptr, &info_, nullptr, nullptr),
            EFI_UNSUPPORTED);
}

}  // namespace
}  // namespace sim
