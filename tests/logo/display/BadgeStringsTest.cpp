// Badge strings: placed by the board or stacked centred from BadgeLineTop, refused when they
// cannot be placed, and never reading format arguments that were not passed.
#include "platform_dxe/ModuleState.h"
#include "tests/logo/display/LogoTest.h"

namespace logo_test {
namespace {

constexpr UINTN kCentred = LOGO_BADGE_CENTRED;
using PositionList = std::vector<std::pair<UINTN, UINTN>>;

class BadgeTest : public LogoTest {
 protected:
  void SetUp() override {
    LogoTest::SetUp();
    AttachScreen({{800, 600}});
    InstallFont();
  }
  // Where the font was asked to draw each string, in call order.
  std::vector<std::pair<UINTN, UINTN>> Positions() const {
    std::vector<std::pair<UINTN, UINTN>> positions;
    for (const auto &call : Font.Calls()) positions.push_back({call.X, call.Y});
    return positions;
  }
};

TEST_F(BadgeTest, CentredStringsStackDownFromTheBadgeLineTop) {
  DxeModule.BadgeLineTop = 300;
  for (int i = 0; i < 3; ++i)
    EXPECT_EQ(DrawBadgeString(kCentred, kCentred, kYellow, kBlue, u"abc"), EFI_SUCCESS);

  EXPECT_EQ(Positions(), (PositionList{{388, 300}, {388, 319}, {388, 338}}));
  EXPECT_EQ(DxeModule.BadgeLineCount, 3u);
  EXPECT_TRUE(Screen().RectIs(388, 300, 24, 1, Pixel(kBlue)));
  EXPECT_EQ(Count(388, 300, 24, 57, kYellow), CountOnScreen(kYellow));
}

TEST_F(BadgeTest, EitherCoordinateAllOnesCentres) {
  DxeModule.BadgeLineTop = 100;
  EXPECT_EQ(DrawBadgeString(kCentred, 7, kYellow, kBlue, u"ab"), EFI_SUCCESS);
  EXPECT_EQ(DrawBadgeString(7, kCentred, kYellow, kBlue, u"ab"), EFI_SUCCESS);
  EXPECT_EQ(Positions(), (PositionList{{392, 100}, {392, 119}}));
}

TEST_F(BadgeTest, PositionedStringIsDrawnThereInItsColours) {
  DxeModule.BadgeLineTop = 300;
  EXPECT_EQ(DrawBadgeString(50, 500, kYellow, kBlue, u"Setup"), EFI_SUCCESS);
  EXPECT_TRUE(TextAt(50, 500, 5, kYellow, kBlue));
  EXPECT_EQ(DxeModule.BadgeLineCount, 0u);
}

TEST_F(BadgeTest, ColourBytesAreBlueGreenRedReserved) {
  EXPECT_EQ(DrawBadgeString(0, 0, 0x11223344, 0x55667788, u"x"), EFI_SUCCESS);
  ASSERT_EQ(Font.Calls().size(), 1u);
  const auto &call = Font.Calls()[0];
  EXPECT_EQ(sim::PixelValue(call.Foreground), 0x11223344u);
  EXPECT_EQ(call.Foreground.Blue, 0x44);
  EXPECT_EQ(call.Foreground.Reserved, 0x11);
  EXPECT_EQ(sim::PixelValue(call.Background), 0x55667788u);
}

TEST_F(BadgeTest, CentredStringWiderThanTheScreenUsesUpItsLine) {
  DxeModule.BadgeLineTop = 200;
  const std::u16string wide(101, u'W');
  EXPECT_EQ(DrawBadgeString(kCentred, kCentred, kYellow, kBlue, wide.c_str()), EFI_UNSUPPORTED);
  EXPECT_EQ(DrawBadgeString(kCentred, kCentred, kYellow, kBlue, u"ok"), EFI_SUCCESS);
  EXPECT_EQ(Positions(), (PositionList{{392, 219}}));
  EXPECT_EQ(CountOnScreen(kBlue), Count(392, 219, 16, 19, kBlue));
}

TEST_F(BadgeTest, CentredStringWithoutBadgeLineTopIsRefused) {
  ASSERT_EQ(DxeModule.BadgeLineTop, -1);
  EXPECT_EQ(DrawBadgeString(kCentred, 10, kYellow, kBlue, u"x"), EFI_UNSUPPORTED);
  EXPECT_EQ(DxeModule.BadgeLineCount, 0u);
  EXPECT_TRUE(Font.Calls().empty());
}

struct EdgeCase {
  const char *Name;
  UINTN X, Y;
  EFI_STATUS Expected;
};

const EdgeCase kEdgeCases[] = {
    {"XAtScreenWidth", 800, 10, EFI_SUCCESS},
    {"YAtScreenHeight", 10, 600, EFI_SUCCESS},
    {"XPastScreenWidth", 801, 10, EFI_UNSUPPORTED},
    {"YPastScreenHeight", 10, 601, EFI_UNSUPPORTED},
    {"FarRight", UINTN(1) << 40, 10, EFI_UNSUPPORTED},
};

class BadgeEdgeTest : public BadgeTest, public ::testing::WithParamInterface<EdgeCase> {};

TEST_P(BadgeEdgeTest, PositionTest) {
  const EdgeCase &c = GetParam();
  EXPECT_EQ(DrawBadgeString(c.X, c.Y, kYellow, kBlue, u"x"), c.Expected);
  // The font is only asked when the position passed; nothing lands outside the screen.
  EXPECT_EQ(Font.Calls().size(), c.Expected == EFI_SUCCESS ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(Cases, BadgeEdgeTest, ::testing::ValuesIn(kEdgeCases),
                         [](const auto &info) { return std::string(info.param.Name); });

// The board's string is used as a format with no arguments behind it: every directive that
// takes one reads a zero instead of whatever the stack holds.
TEST_F(BadgeTest, DirectivesInABadgeStringReadZeros) {
  const size_t before = LivePool();
  EXPECT_EQ(DrawBadgeString(0, 0, kYellow, kBlue, u"A%sB%dC%*dD%gE%tF%aG%XH%**dI"), EFI_SUCCESS);
  ASSERT_EQ(Font.Calls().size(), 1u);
  EXPECT_EQ(Font.Calls()[0].Text,
            u"A<null string>B0C0DEF<null string>G0000000000000000H0I");
  ExpectPoolClean(before);
}

TEST_F(BadgeTest, WithoutRoomForArgumentSlotsTheStringIsDrawnAsItStands) {
  const size_t before = LivePool();
  Env().Pool().FailNthAllocation(1);
  EXPECT_EQ(DrawBadgeString(0, 0, kYellow, kBlue, u"50%s off %d"), EFI_SUCCESS);
  ASSERT_EQ(Font.Calls().size(), 1u);
  EXPECT_EQ(Font.Calls()[0].Text, u"50%s off %d");
  ExpectPoolClean(before);
}

TEST_F(BadgeTest, ConsoleWithoutDrawingDeviceIsRefused) {
  Env().UninstallProtocol(Env().ConsoleOutHandle(), EFI_GUID(EFI_GRAPHICS_OUTPUT_PROTOCOL_GUID),
                          Gop->Protocol());
  EXPECT_EQ(DrawBadgeString(0, 0, kYellow, kBlue, u"x"), EFI_UNSUPPORTED);
}

class UgaBadgeTest : public LogoTest {};

TEST_F(UgaBadgeTest, FailingUgaGetModeIsRefused) {
  AttachUgaOnly(800, 600).FailGetMode(true);
  InstallFont();
  EXPECT_EQ(DrawBadgeString(0, 0, kYellow, kBlue, u"x"), EFI_UNSUPPORTED);
}

TEST_F(UgaBadgeTest, UgaOnlyConsoleUsesItsLineButDrawsNothing) {
  AttachUgaOnly(800, 600);
  InstallFont();
  DxeModule.BadgeLineTop = 300;
  const size_t before = LivePool();
  EXPECT_EQ(DrawBadgeString(kCentred, kCentred, kYellow, kBlue, u"x"), EFI_SUCCESS);
  EXPECT_EQ(DxeModule.BadgeLineCount, 1u);
  EXPECT_TRUE(Font.Calls().empty());
  ExpectPoolClean(before);
}

class BadgeStringsTest : public BadgeTest {
 protected:
  void SetUp() override {
    BadgeTest::SetUp();
    InstallSource();
  }
};

TEST_F(BadgeStringsTest, DrawsEverySuppliedStringAndFreesThemAll) {
  DxeModule.BadgeLineTop = 300;
  DxeModule.BadgeLineCount = 5;  // left over from an earlier logo
  Source.AddString(u"first", kCentred, kCentred, kYellow, kBlue);
  Source.AddString(u"lost", 900, 10, kYellow, kBlue);  // right of the screen
  Source.AddString(u"third", 20, 550, kYellow, kBlue);
  const size_t before = LivePool();

  EXPECT_EQ(DrawBadgeStrings(Source.Protocol(), 0, 0), EFI_SUCCESS);

  EXPECT_EQ(Positions(), (PositionList{{380, 300}, {20, 550}}));
  EXPECT_EQ(DxeModule.BadgeLineCount, 1u);
  ASSERT_EQ(Source.GetStringCalls().size(), 3u);
  for (const auto &call : Source.GetStringCalls()) {
    EXPECT_EQ(call.A, 0);
    EXPECT_EQ(call.B, 0);
  }
  ExpectPoolClean(before);
}

TEST_F(BadgeStringsTest, MissingIndicesAreSkipped) {
  Source.AddMissingString();
  Source.AddString(u"there", 0, 0, kYellow, kBlue);
  EXPECT_EQ(DrawBadgeStrings(Source.Protocol(), 0, 0), EFI_SUCCESS);
  EXPECT_EQ(Positions(), (PositionList{{0, 0}}));
}

TEST_F(BadgeStringsTest, NoStringSuppliedIsUnsupported) {
  Source.AddMissingString();
  Source.AddMissingString();
  EXPECT_EQ(DrawBadgeStrings(Source.Protocol(), 0, 0), EFI_UNSUPPORTED);
  EXPECT_EQ(DrawBadgeStrings(Source.Protocol(), 0, 0), EFI_UNSUPPORTED);
}

TEST_F(BadgeStringsTest, NoStringsAtAllIsUnsupported) {
  EXPECT_EQ(DrawBadgeStrings(Source.Protocol(), 0, 0), EFI_UNSUPPORTED);
}

TEST_F(BadgeStringsTest, StringThatCannotBeDrawnStillCountsAsSupplied) {
  Source.AddString(u"centred without a line", kCentred, kCentred, kYellow, kBlue);
  EXPECT_EQ(DrawBadgeStrings(Source.Protocol(), 0, 0), EFI_SUCCESS);
  EXPECT_TRUE(Font.Calls().empty());
}

TEST_F(BadgeStringsTest, UncountableStringsLeaveTheLineCountAlone) {
  DxeModule.BadgeLineCount = 4;
  Source.AddString(u"x", 0, 0, kYellow, kBlue);
  Source.FailGetStringCount(EFI_DEVICE_ERROR);
  EXPECT_EQ(DrawBadgeStrings(Source.Protocol(), 0, 0), EFI_UNSUPPORTED);
  EXPECT_EQ(DxeModule.BadgeLineCount, 4u);
  EXPECT_TRUE(Source.GetStringCalls().empty());
}

}  // namespace
}  // namespace logo_test
