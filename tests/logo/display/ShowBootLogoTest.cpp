// The ordinary logo display: images of the logo source placed by their placement codes or by
// the location marker of the logo image before them, the overlay order, the screen taking an
// image's size, badge strings after each logo image, and every failure row.
#include "platform_dxe/ModuleState.h"
#include "platform_dxe/PlatformServices.h"
#include "sim/uefi/logo/LogoGuids.h"
#include "tests/logo/display/LogoTest.h"

namespace logo_test {
namespace {

constexpr UINTN kCentred = LOGO_BADGE_CENTRED;
constexpr uint32_t kLogo = LOGO_IMAGE_TYPE_LOGO;
constexpr uint32_t kOverlay = LOGO_IMAGE_TYPE_OVERLAY;

class ShowBootLogoTest : public LogoTest {
 protected:
  void UsualBoard(uint32_t width = 800, uint32_t height = 600) {
    StandardConsole(width, height);
    InstallSource();
  }
};

// ---- Placement codes ----

struct PlacementCase {
  const char *Name;
  uint32_t Placement;
  UINTN Cx, Cy;
  uint32_t Width, Height;
  bool Drawn;
  uint32_t X, Y;
};

// Screen 800 x 600.
const PlacementCase kPlacementCases[] = {
    {"LeftTop", 0, 10, 20, 100, 50, true, 10, 20},
    {"CentreTop", 1, 10, 20, 100, 50, true, 350, 20},
    {"RightTop", 2, 10, 20, 100, 50, true, 690, 20},
    {"CentreRight", 3, 10, 20, 100, 50, true, 690, 275},
    {"RightBottom", 4, 10, 20, 100, 50, true, 690, 530},
    {"CentreBottom", 5, 10, 20, 100, 50, true, 350, 530},
    {"LeftBottom", 6, 10, 20, 100, 50, true, 10, 530},
    {"CentreLeft", 7, 10, 20, 100, 50, true, 10, 275},
    {"Centre", 8, 10, 20, 100, 50, true, 350, 275},
    {"CodeNineActsAsLeftTop", 9, 10, 20, 100, 50, true, 10, 20},
    {"LargeCodeActsAsLeftTop", 0x80000000u, 10, 20, 100, 50, true, 10, 20},
    {"RightEdgeExactly", 2, 0, 0, 100, 50, true, 700, 0},
    {"BottomEdgeExactly", 6, 0, 0, 100, 50, true, 0, 550},
    {"WholeScreen", 8, 0, 0, 800, 600, true, 0, 0},
    {"RightBottomAboveTheTop", 4, 10, 560, 100, 50, false, 0, 0},
    {"RightTopLeftOfTheEdge", 2, 750, 0, 100, 50, false, 0, 0},
    {"CentreOfWiderThanScreen", 8, 0, 0, 801, 50, false, 0, 0},
    {"CentreOfTallerThanScreen", 8, 0, 0, 50, 601, false, 0, 0},
    {"LeftTopReachingPastTheRight", 0, 750, 0, 100, 50, false, 0, 0},
    {"LeftTopReachingPastTheBottom", 0, 0, 560, 100, 50, false, 0, 0},
    {"LeftTopFarAway", 0, UINTN(1) << 40, UINTN(1) << 40, 100, 50, false, 0, 0},
    {"LeftTopAtWrappingCoordinates", 0, ~UINTN(0) - 50, 0, 100, 50, false, 0, 0},
};

class PlacementTest : public ShowBootLogoTest, public ::testing::WithParamInterface<PlacementCase> {};

TEST_P(PlacementTest, PutsTheLogoWhereItsCodeSays) {
  const PlacementCase &c = GetParam();
  UsualBoard();
  Source.AddImage(kLogo, LOGO_FORMAT_FORMAT4, c.Placement, c.Cx, c.Cy,
                  MakeTimg(uint16_t(c.Width), uint16_t(c.Height), kRed));
  const size_t before = LivePool();

  EXPECT_EQ(ShowBootLogo(0), EFI_NOT_FOUND);

  if (c.Drawn) {
    EXPECT_TRUE(ImageAt(c.X, c.Y, c.Width, c.Height, kRed));
  } else {
    EXPECT_EQ(CountOnScreen(kRed), 0u);
  }
  // Nothing was ever handed to Blt outside the screen.
  for (const auto &call : Gop->BltCalls()) EXPECT_EQ(call.Status, EFI_SUCCESS);
  EXPECT_EQ(Console.Mode(), EfiConsoleControlScreenGraphics);
  ExpectPoolClean(before);
}

TEST_F(ShowBootLogoTest, BadgeStringsFollowALogoImageThatWasNotDrawn) {
  UsualBoard();
  // Right bottom with H - cy - h = 600 - 560 - 50 below zero.
  Source.AddImage(kLogo, LOGO_FORMAT_FORMAT4, LOGO_PLACE_RIGHT_BOTTOM, 10, 560,
                  MakeTimg(100, 50, kRed));
  Source.AddString(u"badge", kCentred, kCentred, kWhite, kBlue);

  EXPECT_EQ(ShowBootLogo(0), EFI_NOT_FOUND);

  EXPECT_EQ(CountOnScreen(kRed), 0u);
  EXPECT_EQ(DxeModule.BadgeLineTop, 300);
  EXPECT_TRUE(TextAt(380, 300, 5, kWhite, kBlue));
}

INSTANTIATE_TEST_SUITE_P(Cases, PlacementTest, ::testing::ValuesIn(kPlacementCases),
                         [](const auto &info) { return std::string(info.param.Name); });

// ---- Location markers and overlays ----

struct MarkerCase {
  const char *Name;
  std::function<void(sim::ScriptedLogoSource &)> AddLogos;
  uint32_t OverlayX, OverlayY;
};

std::vector<uint8_t> JpegWithMarker(uint16_t x, uint16_t y) {
  std::vector<uint8_t> image = MakeTimg(4, 4, kGreen);
  sim::AppendColMarker(image, x, y);
  return image;
}

const MarkerCase kMarkerCases[] = {
    {"NoMarkerKeepsTheOverlaysOwnPosition", [](sim::ScriptedLogoSource &) {}, 5, 5},
    {"BitmapHeaderWords",
     [](sim::ScriptedLogoSource &s) { s.AddImage(kLogo, 0, 0, 0, 0, MakeBitmap(4, 4, kGreen, 100, 40)); },
     100, 40},
    {"JpegComment",
     [](sim::ScriptedLogoSource &s) { s.AddImage(kLogo, 1, 0, 0, 0, JpegWithMarker(0x0120, 0x0010)); },
     288, 16},
    {"JpegWithoutCommentKeepsTheEarlierMarker",
     [](sim::ScriptedLogoSource &s) {
       s.AddImage(kLogo, 0, 0, 0, 0, MakeBitmap(4, 4, kGreen, 100, 40));
       s.AddImage(kLogo, 1, 0, 0, 0, MakeTimg(4, 4, kGreen));
     },
     100, 40},
    {"LaterMarkerWins",
     [](sim::ScriptedLogoSource &s) {
       s.AddImage(kLogo, 0, 0, 0, 0, MakeBitmap(4, 4, kGreen, 100, 40));
       s.AddImage(kLogo, 1, 0, 0, 0, JpegWithMarker(200, 300));
     },
     200, 300},
    {"JpegMarkerCutAtTheImageEnd",
     [](sim::ScriptedLogoSource &s) {
       s.AddImage(kLogo, 0, 0, 0, 0, MakeBitmap(4, 4, kGreen, 100, 40));
       std::vector<uint8_t> cut = JpegWithMarker(200, 300);
       cut.pop_back();
       s.AddImage(kLogo, 1, 0, 0, 0, cut);
     },
     100, 40},
    {"Format5HeaderWords",
     [](sim::ScriptedLogoSource &s) { s.AddImage(kLogo, 5, 0, 0, 0, MakeTimg(4, 4, kGreen, 321, 123)); },
     321, 123},
    {"Format3And4LeaveTheMarker",
     [](sim::ScriptedLogoSource &s) {
       s.AddImage(kLogo, 0, 0, 0, 0, MakeBitmap(4, 4, kGreen, 100, 40));
       s.AddImage(kLogo, 3, 0, 0, 0, MakeTimg(4, 4, kGreen, 1, 2));
       s.AddImage(kLogo, 4, 0, 0, 0, MakeTimg(4, 4, kGreen, 1, 2));
     },
     100, 40},
    {"Format2LogoIsSkippedWithoutTouchingTheMarker",
     [](sim::ScriptedLogoSource &s) {
       s.AddImage(kLogo, 0, 0, 0, 0, MakeBitmap(4, 4, kGreen, 100, 40));
       s.AddImage(kLogo, 2, 0, 0, 0, MakeBitmap(4, 4, kGreen, 7, 7));
     },
     100, 40},
    {"BitmapTooShortForItsWordsSetsNoMarker",
     [](sim::ScriptedLogoSource &s) {
       s.AddImage(kLogo, 0, 0, 0, 0, {'B', 'M', 0, 0, 0, 0, 0x64, 0, 0x28});
     },
     5, 5},
    {"Format5TooShortForItsWordsSetsNoMarker",
     [](sim::ScriptedLogoSource &s) {
       s.AddImage(kLogo, 5, 0, 0, 0, {'T', 'I', 'M', 'G', 4, 0, 4, 0, 0x64, 0, 0x28});
     },
     5, 5},
    {"CorruptBitmapStillSetsItsMarker",
     [](sim::ScriptedLogoSource &s) {
       std::vector<uint8_t> cut = MakeBitmap(4, 4, kGreen, 100, 40);
       cut.resize(30);
       s.AddImage(kLogo, 0, 0, 0, 0, cut);
     },
     100, 40},
};

class MarkerTest : public ShowBootLogoTest, public ::testing::WithParamInterface<MarkerCase> {};

TEST_P(MarkerTest, PlacesTheOverlay) {
  UsualBoard();
  GetParam().AddLogos(Source);
  Source.AddImage(kOverlay, LOGO_FORMAT_BITMAP, LOGO_PLACE_LEFT_TOP, 5, 5, MakeBitmap(8, 6, kRed));
  const size_t before = LivePool();

  EXPECT_EQ(ShowBootLogo(0), EFI_NOT_FOUND);

  EXPECT_TRUE(ImageAt(GetParam().OverlayX, GetParam().OverlayY, 8, 6, kRed));
  EXPECT_EQ(Animated.LiveContexts(), 0u);
  ExpectPoolClean(before);
}

INSTANTIATE_TEST_SUITE_P(Cases, MarkerTest, ::testing::ValuesIn(kMarkerCases),
                         [](const auto &info) { return std::string(info.param.Name); });

TEST_F(ShowBootLogoTest, MarkerReplacesCoordinatesButNotThePlacementCode) {
  UsualBoard();
  Source.AddImage(kLogo, 0, 0, 0, 0, MakeBitmap(4, 4, kGreen, 100, 40));
  // Right bottom from the marker: X = 800 - 100 - 8, Y = 600 - 40 - 6.
  Source.AddImage(kOverlay, 0, LOGO_PLACE_RIGHT_BOTTOM, 1, 1, MakeBitmap(8, 6, kRed));
  EXPECT_EQ(ShowBootLogo(0), EFI_NOT_FOUND);
  EXPECT_TRUE(ImageAt(692, 554, 8, 6, kRed));
}

TEST_F(ShowBootLogoTest, LogosFirstThenOverlaysFromTheStartEachOverTheLast) {
  UsualBoard();
  // Logo formats without a location marker, so the overlays keep their own positions.
  Source.AddImage(kOverlay, LOGO_FORMAT_BITMAP, 0, 10, 10, MakeBitmap(20, 20, kBlue));
  Source.AddImage(kLogo, LOGO_FORMAT_FORMAT4, 0, 0, 0, MakeTimg(40, 40, kRed));
  Source.AddImage(kOverlay, LOGO_FORMAT_FORMAT5, 0, 20, 20, MakeTimg(20, 20, kYellow));
  Source.AddImage(kLogo, LOGO_FORMAT_JPEG, 0, 30, 0, MakeTimg(40, 40, kGreen));

  EXPECT_EQ(ShowBootLogo(0), EFI_NOT_FOUND);

  // Requests: both logos, the failing third, then both overlays and the failing third. The
  // format going in is the code of the image before.
  const auto &calls = Source.GetImageCalls();
  ASSERT_EQ(calls.size(), 6u);
  const UINT32 expected[][3] = {{kLogo, 0, 0},    {kLogo, 1, 4},    {kLogo, 2, 1},
                                {kOverlay, 0, 1}, {kOverlay, 1, 0}, {kOverlay, 2, 5}};
  for (size_t i = 0; i < calls.size(); ++i) {
    EXPECT_EQ(calls[i].Type, expected[i][0]) << i;
    EXPECT_EQ(calls[i].Instance, expected[i][1]) << i;
    EXPECT_EQ(calls[i].Format, expected[i][2]) << i;
  }
  // Green logo over red logo, blue overlay over both, yellow overlay over blue.
  EXPECT_TRUE(Screen().RectIs(0, 0, 30, 10, Pixel(kRed)));
  EXPECT_TRUE(Screen().RectIs(40, 0, 30, 10, Pixel(kGreen)));
  EXPECT_TRUE(Screen().RectIs(10, 10, 10, 10, Pixel(kBlue)));
  EXPECT_TRUE(Screen().RectIs(20, 20, 20, 20, Pixel(kYellow)));
  EXPECT_EQ(CountOnScreen(kBlue), 20u * 20 - 10 * 10);
}

TEST_F(ShowBootLogoTest, BadgeStringsFollowEveryLogoImageButNoOverlay) {
  UsualBoard();
  Source.AddImage(kLogo, 0, 0, 0, 0, MakeBitmap(4, 4, kRed));
  Source.AddImage(kLogo, 0, 0, 10, 0, MakeBitmap(4, 4, kRed));
  Source.AddImage(kOverlay, 0, 0, 20, 0, MakeBitmap(4, 4, kRed));
  Source.AddString(u"x", 100, 100, kWhite, kBlue);
  EXPECT_EQ(ShowBootLogo(0), EFI_NOT_FOUND);
  EXPECT_EQ(Source.StringCountCalls().size(), 2u);
  EXPECT_EQ(Font.Calls().size(), 2u);
}

TEST_F(ShowBootLogoTest, Format2OverlayCostsOnlyItsOwnPass) {
  UsualBoard();
  Source.AddImage(kOverlay, LOGO_FORMAT_NONE, 0, 0, 0, MakeBitmap(4, 4, kRed));
  Source.AddImage(kOverlay, 17, 0, 0, 0, MakeBitmap(4, 4, kRed));
  Source.AddImage(kOverlay, LOGO_FORMAT_BITMAP, 0, 50, 50, MakeBitmap(4, 4, kGreen));
  const size_t before = LivePool();
  EXPECT_EQ(ShowBootLogo(0), EFI_NOT_FOUND);
  EXPECT_TRUE(ImageAt(50, 50, 4, 4, kGreen));
  EXPECT_EQ(CountOnScreen(kRed), 0u);
  ExpectPoolClean(before);
}

// ---- The screen taking an image's size ----

TEST_F(ShowBootLogoTest, ScreenTakesTheImagesSizeWhenTheBoardAsks) {
  AttachScreen({{800, 600}, {1024, 768}}, 0);
  InstallConsoleControl();
  InstallFont();
  InstallDecoders();
  InstallSource();
  Source.SetUseImageResolution([](uint32_t w, uint32_t h) { return w == 1024 && h == 768; });
  Source.AddImage(kLogo, LOGO_FORMAT_FORMAT4, LOGO_PLACE_CENTRE, 0, 0, MakeTimg(1024, 768, kRed));
  Source.AddImage(kLogo, LOGO_FORMAT_FORMAT4, LOGO_PLACE_RIGHT_BOTTOM, 0, 0, MakeTimg(10, 10, kGreen));
  Source.AddString(u"x", kCentred, kCentred, kWhite, kBlue);

  EXPECT_EQ(ShowBootLogo(0), EFI_NOT_FOUND);

  EXPECT_EQ(Gop->SetModeCalls(), std::vector<uint32_t>{1});
  EXPECT_EQ(Gop->Width(), 1024u);
  ASSERT_EQ(Source.UseImageResolutionCalls().size(), 2u);
  EXPECT_EQ(Source.UseImageResolutionCalls()[0].Reserved, 0u);
  EXPECT_EQ(Source.UseImageResolutionCalls()[0].Width, 1024u);
  EXPECT_EQ(Source.UseImageResolutionCalls()[0].Height, 768u);
  // Later placements use the new size.
  EXPECT_TRUE(Screen().RectIs(1014, 758, 10, 10, Pixel(kGreen)));
  EXPECT_EQ(DxeModule.BadgeLineTop, 384);
}

TEST_F(ShowBootLogoTest, OverlaysAreNeverAskedAboutTheScreenSize) {
  UsualBoard();
  Source.SetUseImageResolution([](uint32_t, uint32_t) { return true; });
  Source.AddImage(kOverlay, LOGO_FORMAT_BITMAP, 0, 0, 0, MakeBitmap(4, 4, kRed));
  EXPECT_EQ(ShowBootLogo(0), EFI_NOT_FOUND);
  EXPECT_TRUE(Source.UseImageResolutionCalls().empty());
  EXPECT_TRUE(Gop->SetModeCalls().empty());
}

TEST_F(ShowBootLogoTest, UgaScreenTakesTheImagesSizeKeepingDepthAndRate) {
  AttachUgaOnly(800, 600, 24, 75);
  InstallConsoleControl();
  InstallFont();
  InstallDecoders();
  InstallSource();
  Source.SetUseImageResolution([](uint32_t, uint32_t) { return true; });
  Source.AddImage(kLogo, LOGO_FORMAT_BITMAP, LOGO_PLACE_CENTRE, 0, 0, MakeBitmap(640, 480, kRed));

  EXPECT_EQ(ShowBootLogo(0), EFI_NOT_FOUND);

  ASSERT_EQ(Uga->SetModeCalls().size(), 1u);
  EXPECT_EQ(Uga->SetModeCalls()[0].Width, 640u);
  EXPECT_EQ(Uga->SetModeCalls()[0].Height, 480u);
  EXPECT_EQ(Uga->SetModeCalls()[0].ColourDepth, 24u);
  EXPECT_EQ(Uga->SetModeCalls()[0].RefreshRate, 75u);
  EXPECT_TRUE(ImageAt(0, 0, 640, 480, kRed));
}

TEST_F(ShowBootLogoTest, UgaRefusingTheImagesSizeEndsTheDisplay) {
  AttachUgaOnly(800, 600).FailSetMode(true);
  InstallConsoleControl();
  InstallDecoders();
  InstallSource();
  Source.SetUseImageResolution([](uint32_t, uint32_t) { return true; });
  Source.AddImage(kLogo, LOGO_FORMAT_BITMAP, 0, 0, 0, MakeBitmap(64, 48, kRed));
  Source.AddImage(kLogo, LOGO_FORMAT_BITMAP, 0, 0, 0, MakeBitmap(64, 48, kGreen));
  const size_t before = LivePool();

  EXPECT_EQ(ShowBootLogo(0), EFI_UNSUPPORTED);

  EXPECT_EQ(CountOnScreen(kRed), 0u);
  EXPECT_EQ(Source.GetImageCalls().size(), 1u);
  ExpectPoolClean(before);
}

// ---- Drawing through UGA Draw ----

TEST_F(ShowBootLogoTest, UgaConsoleDrawsThroughUga) {
  AttachUgaOnly(640, 480);
  InstallConsoleControl();
  InstallDecoders();
  InstallSource();
  Source.AddImage(kLogo, LOGO_FORMAT_BITMAP, LOGO_PLACE_CENTRE, 0, 0, MakeBitmap(40, 20, kRed));
  EXPECT_EQ(ShowBootLogo(0), EFI_NOT_FOUND);
  EXPECT_TRUE(ImageAt(300, 230, 40, 20, kRed));
  ASSERT_EQ(Uga->BltCalls().size(), 1u);
  EXPECT_EQ(Uga->BltCalls()[0].Delta, 40u * 4);
}

TEST_F(ShowBootLogoTest, UgaGetModeFailureIsUnsupported) {
  AttachUgaOnly(640, 480).FailGetMode(true);
  InstallConsoleControl();
  InstallSource();
  Source.AddImage(kLogo, LOGO_FORMAT_BITMAP, 0, 0, 0, MakeBitmap(4, 4, kRed));
  EXPECT_EQ(ShowBootLogo(0), EFI_UNSUPPORTED);
  EXPECT_TRUE(Source.GetImageCalls().empty());
}

// ---- Failure rows ----

TEST_F(ShowBootLogoTest, WithoutConsoleControlNothingChanges) {
  AttachScreen({{800, 600}});
  InstallDecoders();
  InstallSource();
  InstallBootLogo();
  Source.AddImage(LOGO_IMAGE_TYPE_HAND_OFF, 0, 0, 0, 0, MakeBitmap(4, 4, kRed));
  Source.AddImage(kLogo, 0, 0, 0, 0, MakeBitmap(4, 4, kRed));
  EXPECT_EQ(ShowBootLogo(0), EFI_UNSUPPORTED);
  EXPECT_TRUE(Source.GetImageCalls().empty());
  EXPECT_TRUE(Gop->BltCalls().empty());
}

TEST_F(ShowBootLogoTest, ConsoleWithoutDrawingDeviceIsUnsupported) {
  InstallConsoleControl();
  InstallSource();
  Source.AddImage(kLogo, 0, 0, 0, 0, MakeBitmap(4, 4, kRed));
  EXPECT_EQ(ShowBootLogo(0), EFI_UNSUPPORTED);
  EXPECT_TRUE(Source.GetImageCalls().empty());
}

TEST_F(ShowBootLogoTest, SourceWithoutImagesEndsWithTheOverlayErrorAndNoDefaultLogo) {
  UsualBoard();
  InstallDefaultLogo(MakeBitmap(20, 10, kRed));
  Source.FailGetImage(kOverlay, EFI_DEVICE_ERROR);
  EXPECT_EQ(ShowBootLogo(0), EFI_DEVICE_ERROR);
  EXPECT_TRUE(Volume.ReadSectionCalls().empty());
  EXPECT_EQ(CountOnScreen(kRed), 0u);
  EXPECT_EQ(Console.Mode(), EfiConsoleControlScreenGraphics);
}

struct BadImageCase {
  const char *Name;
  std::function<void(ShowBootLogoTest &, sim::ScriptedLogoSource &)> AddBadImage;
  bool BadgesDrawn;  // a logo image that decoded (without pixels) still gets its badges
};

class BadImageTest : public ShowBootLogoTest, public ::testing::WithParamInterface<BadImageCase> {
 public:
  using ShowBootLogoTest::Format4;
  using ShowBootLogoTest::Format5;
  using ShowBootLogoTest::Jpeg;
  using ShowBootLogoTest::Animated;
  using ShowBootLogoTest::Gop;
};

const BadImageCase kBadImageCases[] = {
    {"CorruptBitmap",
     [](ShowBootLogoTest &, sim::ScriptedLogoSource &s) {
       s.AddImage(kLogo, 0, 0, 0, 0, {'B', 'M', 1, 2, 3});
     },
     false},
    {"JpegDecoderError",
     [](ShowBootLogoTest &t, sim::ScriptedLogoSource &s) {
       static_cast<BadImageTest &>(t).Jpeg.FailNextDecode(EFI_VOLUME_CORRUPTED);
       s.AddImage(kLogo, 1, 0, 0, 0, MakeTimg(4, 4, kRed));
     },
     false},
    {"NotATestImage",
     [](ShowBootLogoTest &, sim::ScriptedLogoSource &s) {
       s.AddImage(kLogo, 4, 0, 0, 0, MakeBitmap(4, 4, kRed));
     },
     false},
    {"Format4WithoutPixels",
     [](ShowBootLogoTest &t, sim::ScriptedLogoSource &s) {
       static_cast<BadImageTest &>(t).Format4.SucceedWithoutPixels(true);
       s.AddImage(kLogo, 4, 0, 0, 0, MakeTimg(4, 4, kRed));
     },
     true},
    {"AnimatedWithoutContext",
     [](ShowBootLogoTest &t, sim::ScriptedLogoSource &s) {
       static_cast<BadImageTest &>(t).Animated.SucceedWithoutPixels(true);
       s.AddImage(kLogo, 3, 0, 0, 0, MakeTimg(4, 4, kRed));
     },
     true},
    {"BltError",
     [](ShowBootLogoTest &t, sim::ScriptedLogoSource &s) {
       static_cast<BadImageTest &>(t).Gop->FailNextBlt(EFI_DEVICE_ERROR);
       s.AddImage(kLogo, 0, 0, 0, 0, MakeBitmap(4, 4, kRed));
     },
     true},
    {"DrawImageError",
     [](ShowBootLogoTest &t, sim::ScriptedLogoSource &s) {
       static_cast<BadImageTest &>(t).Animated.FailNextDraw(EFI_DEVICE_ERROR);
       s.AddImage(kLogo, 3, 0, 0, 0, MakeTimg(4, 4, kRed));
     },
     true},
};

TEST_P(BadImageTest, CostsOnlyThatImage) {
  UsualBoard();
  GetParam().AddBadImage(*this, Source);
  Source.AddString(u"x", 200, 200, kWhite, kBlue);
  Source.AddImage(kLogo, LOGO_FORMAT_BITMAP, 0, 100, 100, MakeBitmap(8, 8, kGreen));
  const size_t before = LivePool();

  EXPECT_EQ(ShowBootLogo(0), EFI_NOT_FOUND);

  EXPECT_EQ(CountOnScreen(kRed), 0u);
  EXPECT_TRUE(ImageAt(100, 100, 8, 8, kGreen));
  EXPECT_EQ(Source.StringCountCalls().size(), GetParam().BadgesDrawn ? 2u : 1u);
  EXPECT_EQ(Animated.LiveContexts(), 0u);
  ExpectPoolClean(before);
}

INSTANTIATE_TEST_SUITE_P(Cases, BadImageTest, ::testing::ValuesIn(kBadImageCases),
                         [](const auto &info) { return std::string(info.param.Name); });

TEST_F(ShowBootLogoTest, MissingDecoderSkipsTheImage) {
  AttachScreen({{800, 600}});
  InstallConsoleControl();
  InstallSource();
  for (uint32_t format : {1u, 3u, 4u, 5u})
    Source.AddImage(kLogo, format, 0, 0, 0, MakeTimg(4, 4, kRed));
  Source.AddImage(kLogo, LOGO_FORMAT_BITMAP, 0, 10, 10, MakeBitmap(4, 4, kGreen));
  const size_t before = LivePool();
  EXPECT_EQ(ShowBootLogo(0), EFI_NOT_FOUND);
  EXPECT_EQ(CountOnScreen(kRed), 0u);
  EXPECT_TRUE(ImageAt(10, 10, 4, 4, kGreen));
  ExpectPoolClean(before);
}

// A source that reports an image type of its own choosing.
struct OddTypeSource {
  LOGO_SOURCE_PROTOCOL Protocol{GetImage, nullptr, nullptr, GetStringCount};
  static EFI_STATUS EFIAPI GetImage(LOGO_SOURCE_PROTOCOL *, UINT32 *Instance, UINT32 *Type,
                                    UINT32 *Format, VOID **Image, UINTN *Size, UINT32 *Attribute,
                                    UINTN *X, UINTN *Y) {
    VOID *copy = nullptr;
    if (EFI_ERROR(sim::UefiEnvironment::Current().Pool().Allocate(EfiBootServicesData, 16, &copy)))
      return EFI_OUT_OF_RESOURCES;
    *Image = copy;
    *Size = 16;
    *Format = 0;
    *Attribute = 0;
    *X = *Y = 0;
    *Type = 7;
    ++*Instance;
    return EFI_SUCCESS;
  }
  static EFI_STATUS EFIAPI GetStringCount(LOGO_SOURCE_PROTOCOL *, UINTN *Count) {
    *Count = 0;
    return EFI_SUCCESS;
  }
};

TEST_F(ShowBootLogoTest, UnknownImageTypeIsInvalidParameter) {
  StandardConsole();
  OddTypeSource odd;
  ASSERT_NE(Env().InstallProtocolOnNewHandle(sim::kLogoSourceProtocolGuid, &odd.Protocol), nullptr);
  const size_t before = LivePool();
  EXPECT_EQ(ShowBootLogo(0), EFI_INVALID_PARAMETER);
  ExpectPoolClean(before);
}

// ---- The default logo ----

class DefaultLogoTest : public ShowBootLogoTest {};

TEST_F(DefaultLogoTest, IsDrawnCentredWithoutALogoSource) {
  StandardConsole();
  InstallDefaultLogo(MakeBitmap(200, 100, kRed, 7, 7));
  const size_t before = LivePool();

  EXPECT_EQ(ShowBootLogo(0), EFI_SUCCESS);

  EXPECT_TRUE(ImageAt(300, 250, 200, 100, kRed));
  ASSERT_EQ(Volume.ReadSectionCalls().size(), 1u);
  EXPECT_EQ(Volume.ReadSectionCalls()[0].SectionType, EFI_SECTION_RAW);
  EXPECT_EQ(Volume.ReadSectionCalls()[0].SectionInstance, 0u);
  EXPECT_FALSE(Volume.ReadSectionCalls()[0].CallerBuffer);
  EXPECT_EQ(Console.Mode(), EfiConsoleControlScreenGraphics);
  ExpectPoolClean(before);
}

TEST_F(DefaultLogoTest, MissingDefaultLogoIsUnsupported) {
  StandardConsole();
  const size_t before = LivePool();
  EXPECT_EQ(ShowBootLogo(0), EFI_UNSUPPORTED);
  ExpectPoolClean(before);
}

TEST_F(DefaultLogoTest, CorruptDefaultLogoGivesTheDecodersStatus) {
  StandardConsole();
  std::vector<uint8_t> cut = MakeBitmap(200, 100, kRed);
  cut.resize(cut.size() / 2);
  InstallDefaultLogo(cut);
  const size_t before = LivePool();
  EXPECT_EQ(ShowBootLogo(0), EFI_UNSUPPORTED);
  EXPECT_EQ(CountOnScreen(kRed), 0u);
  ExpectPoolClean(before);
}

TEST_F(DefaultLogoTest, BltErrorIsReturned) {
  StandardConsole().FailNextBlt(EFI_DEVICE_ERROR);
  InstallDefaultLogo(MakeBitmap(20, 10, kRed));
  EXPECT_EQ(ShowBootLogo(0), EFI_DEVICE_ERROR);
}

TEST_F(DefaultLogoTest, LargerThanTheScreenIsNotDrawn) {
  StandardConsole(320, 200);
  InstallDefaultLogo(MakeBitmap(321, 10, kRed));
  EXPECT_EQ(ShowBootLogo(0), EFI_SUCCESS);
  EXPECT_TRUE(Gop->BltCalls().empty());
}

TEST_F(DefaultLogoTest, FetchSearchesTheVolumesInOrder) {
  sim::FirmwareVolumeDouble empty, failing;
  empty.Install(Env());
  failing.AddRawSection(sim::kDefaultLogoFileGuid, {1, 2, 3});
  failing.FailReadSection(EFI_DEVICE_ERROR);
  failing.Install(Env());
  InstallDefaultLogo({9, 8, 7, 6});
  const size_t before = LivePool();

  VOID *image = nullptr;
  UINTN size = 0;
  ASSERT_EQ(FetchDefaultLogo(&image, &size), EFI_SUCCESS);

  ASSERT_EQ(size, 4u);
  EXPECT_EQ(static_cast<uint8_t *>(image)[0], 9);
  EXPECT_EQ(empty.ReadSectionCalls().size(), 1u);
  EXPECT_EQ(failing.ReadSectionCalls().size(), 1u);
  BootServices()->FreePool(image);
  ExpectPoolClean(before);
}

TEST_F(DefaultLogoTest, FetchStopsAtBufferTooSmall) {
  sim::FirmwareVolumeDouble tooSmall;
  tooSmall.AddRawSection(sim::kDefaultLogoFileGuid, {1});
  tooSmall.FailReadSection(EFI_BUFFER_TOO_SMALL);
  tooSmall.Install(Env());
  InstallDefaultLogo({9});
  VOID *image = nullptr;
  UINTN size = 0;
  EXPECT_EQ(FetchDefaultLogo(&image, &size), EFI_BUFFER_TOO_SMALL);
  EXPECT_TRUE(Volume.ReadSectionCalls().empty());
}

TEST_F(DefaultLogoTest, FetchWithoutVolumesIsNotFound) {
  VOID *image = nullptr;
  UINTN size = 0;
  EXPECT_EQ(FetchDefaultLogo(&image, &size), EFI_NOT_FOUND);
}

TEST_F(DefaultLogoTest, BufferTooSmallFromTheVolumeIsUnsupported) {
  StandardConsole();
  sim::FirmwareVolumeDouble tooSmall;
  tooSmall.AddRawSection(sim::kDefaultLogoFileGuid, {1});
  tooSmall.FailReadSection(EFI_BUFFER_TOO_SMALL);
  tooSmall.Install(Env());
  EXPECT_EQ(ShowBootLogo(0), EFI_UNSUPPORTED);
}

}  // namespace
}  // namespace logo_test
