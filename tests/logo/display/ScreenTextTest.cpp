// Text drawn on the graphics screen: colours from the text attribute, the width limit, one
// line only, and every refusal.
#include "sim/uefi/Service.h"
#include "tests/logo/display/LogoTest.h"

namespace logo_test {
namespace {

class ScreenTextTest : public LogoTest {
 protected:
  void SetUp() override {
    LogoTest::SetUp();
    AttachScreen({{800, 600}});
    InstallFont();
  }
  void SetAttribute(UINTN attribute) {
    Env().ConOut().Protocol()->SetAttribute(Env().ConOut().Protocol(), attribute);
  }
};

const EFI_GRAPHICS_OUTPUT_BLT_PIXEL kYellowPixel = Pixel(kYellow);
const EFI_GRAPHICS_OUTPUT_BLT_PIXEL kBluePixel = Pixel(kBlue);

TEST_F(ScreenTextTest, DrawsFormattedTextAtThePositionInTheGivenColours) {
  const size_t before = LivePool();
  EXPECT_EQ(PrintAtPosition(40, 100, &kYellowPixel, &kBluePixel, u"Build %d", 42), EFI_SUCCESS);

  ASSERT_EQ(Font.Calls().size(), 1u);
  const sim::HiiFont::Call &call = Font.Calls()[0];
  EXPECT_EQ(call.Text, u"Build 42");
  EXPECT_EQ(call.Flags, EFI_HII_DIRECT_TO_SCREEN | EFI_HII_IGNORE_IF_NO_GLYPH);
  EXPECT_EQ(call.Screen, Gop->Protocol());
  EXPECT_EQ(call.Width, 800u);
  EXPECT_EQ(call.Height, 600u);
  EXPECT_TRUE(TextAt(40, 100, 8, kYellow, kBlue));
  ExpectPoolClean(before);
}

struct AttributeCase {
  const char *Name;
  UINTN Attribute;
  EFI_GRAPHICS_OUTPUT_BLT_PIXEL Foreground, Background;
};

// Colours of text attributes: foreground number in bits 0-3, background in bits 4-7.
const AttributeCase kAttributeCases[] = {
    {"WhiteOnBlue", 0x1F, {0xFF, 0xFF, 0xFF, 0}, {0x98, 0x00, 0x00, 0}},
    {"LightMagentaOnBlack", 0x0D, {0xF0, 0x10, 0xFF, 0}, {0x00, 0x00, 0x00, 0}},
    {"LightGreyOnBlack", 0x07, {0x98, 0x98, 0x98, 0}, {0x00, 0x00, 0x00, 0}},
    {"YellowOnRed", 0x4E, {0x10, 0xFF, 0xFF, 0}, {0x00, 0x00, 0x98, 0}},
    {"DarkGreyOnBrown", 0x68, {0x10, 0x10, 0x10, 0}, {0x00, 0x98, 0x98, 0}},
    {"LightCyanOnGreen", 0x2B, {0xFF, 0xFF, 0x10, 0}, {0x00, 0x98, 0x00, 0}},
    {"LightBlueOnCyan", 0x39, {0xFF, 0x10, 0x10, 0}, {0x98, 0x98, 0x00, 0}},
    {"LightRedOnMagenta", 0x5C, {0x10, 0x10, 0xFF, 0}, {0x98, 0x00, 0x98, 0}},
    {"LightGreenOnLightGrey", 0x7A, {0x10, 0xFF, 0x10, 0}, {0x98, 0x98, 0x98, 0}},
    {"BlueOnBlack", 0x01, {0x98, 0x00, 0x00, 0}, {0x00, 0x00, 0x00, 0}},
    {"GreenOnBlack", 0x02, {0x00, 0x98, 0x00, 0}, {0x00, 0x00, 0x00, 0}},
};

class AttributeColourTest : public ScreenTextTest,
                            public ::testing::WithParamInterface<AttributeCase> {};

TEST_P(AttributeColourTest, NullColoursComeFromTheTextAttribute) {
  SetAttribute(GetParam().Attribute);
  EXPECT_EQ(PrintAtPosition(0, 0, nullptr, nullptr, u"Hi"), EFI_SUCCESS);
  EXPECT_TRUE(TextAt(0, 0, 2, sim::PixelValue(GetParam().Foreground),
                     sim::PixelValue(GetParam().Background)));
}

INSTANTIATE_TEST_SUITE_P(Cases, AttributeColourTest, ::testing::ValuesIn(kAttributeCases),
                         [](const auto &info) { return std::string(info.param.Name); });

TEST_F(ScreenTextTest, OneNullColourMixesWithTheAttribute) {
  SetAttribute(0x1F);
  EXPECT_EQ(PrintAtPosition(0, 0, &kYellowPixel, nullptr, u"x"), EFI_SUCCESS);
  EXPECT_TRUE(TextAt(0, 0, 1, kYellow, 0x000098));
}

TEST_F(ScreenTextTest, HundredCharactersFitAnEightHundredPixelScreen) {
  const std::u16string hundred(100, u'W');
  EXPECT_EQ(PrintAtPosition(0, 0, &kYellowPixel, &kBluePixel, u"%s", hundred.c_str()), EFI_SUCCESS);
  EXPECT_TRUE(TextAt(0, 0, 100, kYellow, kBlue));
}

TEST_F(ScreenTextTest, HundredAndOneCharactersAreRefused) {
  const size_t before = LivePool();
  const std::u16string tooLong(101, u'W');
  EXPECT_EQ(PrintAtPosition(0, 0, &kYellowPixel, &kBluePixel, u"%s", tooLong.c_str()),
            EFI_INVALID_PARAMETER);
  EXPECT_TRUE(Font.Calls().empty());
  EXPECT_EQ(CountOnScreen(kYellow), 0u);
  ExpectPoolClean(before);
}

TEST_F(ScreenTextTest, WidthIsMeasuredUpToTheFirstControlCharacter) {
  // 101 characters in all, but the line ends after 60.
  const std::u16string text = std::u16string(60, u'W') + u"\b" + std::u16string(40, u'W');
  EXPECT_EQ(PrintAtPosition(0, 0, &kYellowPixel, &kBluePixel, u"%s", text.c_str()), EFI_SUCCESS);
  EXPECT_TRUE(TextAt(0, 0, 60, kYellow, kBlue));
}

TEST_F(ScreenTextTest, OnlyTheFirstLineIsDrawn) {
  EXPECT_EQ(PrintAtPosition(16, 32, &kYellowPixel, &kBluePixel, u"Ready\nSet"), EFI_SUCCESS);
  ASSERT_EQ(Font.Calls().size(), 1u);
  EXPECT_EQ(Font.Calls()[0].Text, u"Ready");
  EXPECT_TRUE(TextAt(16, 32, 5, kYellow, kBlue));
}

TEST_F(ScreenTextTest, CarriageReturnEndsTheLineToo) {
  EXPECT_EQ(PrintAtPosition(0, 0, &kYellowPixel, &kBluePixel, u"%s", u"Go\rNo"), EFI_SUCCESS);
  ASSERT_EQ(Font.Calls().size(), 1u);
  EXPECT_EQ(Font.Calls()[0].Text, u"Go");
}

TEST_F(ScreenTextTest, FontFailureIsReturned) {
  const size_t before = LivePool();
  Font.FailNextCall(EFI_DEVICE_ERROR);
  EXPECT_EQ(PrintAtPosition(0, 0, &kYellowPixel, &kBluePixel, u"x"), EFI_DEVICE_ERROR);
  ExpectPoolClean(before);
}

TEST_F(ScreenTextTest, EachAllocationFailureGivesOutOfResourcesAndFreesTheRest) {
  for (unsigned n = 1; n <= 3; ++n) {
    const size_t before = LivePool();
    Env().Pool().FailNthAllocation(n);
    EXPECT_EQ(PrintAtPosition(0, 0, &kYellowPixel, &kBluePixel, u"x"), EFI_OUT_OF_RESOURCES)
        << "allocation " << n;
    ExpectPoolClean(before);
    EXPECT_FALSE(InjectedFailureUnused(n));
  }
  EXPECT_TRUE(Font.Calls().empty());
  EXPECT_EQ(PrintAtPosition(0, 0, &kYellowPixel, &kBluePixel, u"x"), EFI_SUCCESS);
}

TEST_F(ScreenTextTest, MissingTextOutputGivesItsLookupStatus) {
  // The console's Graphics Output is found, its text output is not.
  Env().Failures().FailNthCall(sim::Service::HandleProtocol, 2, EFI_DEVICE_ERROR);
  EXPECT_EQ(PrintAtPosition(0, 0, &kYellowPixel, &kBluePixel, u"x"), EFI_DEVICE_ERROR);
  EXPECT_TRUE(Font.Calls().empty());
}

class NoFontTest : public LogoTest {};

TEST_F(NoFontTest, MissingFontGivesItsLookupStatus) {
  AttachScreen({{800, 600}});
  const size_t before = LivePool();
  EXPECT_EQ(PrintAtPosition(0, 0, &kYellowPixel, &kBluePixel, u"x"), EFI_NOT_FOUND);
  ExpectPoolClean(before);
}

TEST_F(NoFontTest, ConsoleWithoutDrawingDeviceGivesTheUgaLookupStatus) {
  InstallFont();
  EXPECT_EQ(PrintAtPosition(0, 0, &kYellowPixel, &kBluePixel, u"x"), EFI_UNSUPPORTED);
  EXPECT_TRUE(Font.Calls().empty());
}

TEST_F(NoFontTest, UgaOnlyConsoleIsRefusedWithoutCallingTheFont) {
  AttachUgaOnly(800, 600);
  InstallFont();
  const size_t before = LivePool();
  EXPECT_EQ(PrintAtPosition(0, 0, &kYellowPixel, &kBluePixel, u"x"), EFI_UNSUPPORTED);
  EXPECT_TRUE(Font.Calls().empty());
  ExpectPoolClean(before);
}

}  // namespace
}  // namespace logo_test
