// The boot logo hand-off: where the logo goes, what the platform is given, the badge strings
// under it and their erase at ready-to-boot, and every way the path gives up.
#include "platform_dxe/ModuleState.h"
#include "platform_dxe/PlatformServices.h"
#include "sim/uefi/Service.h"
#include "sim/uefi/WellKnownGuids.h"
#include "tests/logo/display/FramelessAnimationDecoder.h"
#include "tests/logo/display/LogoTest.h"

namespace logo_test {
namespace {

constexpr UINTN kCentred = LOGO_BADGE_CENTRED;

class HandOffTest : public LogoTest {
 protected:
  void UsualPlatform(uint32_t width = 800, uint32_t height = 600) {
    StandardConsole(width, height);
    InstallSource();
    InstallBootLogo();
  }
  void AddHandOffImage(uint32_t format, std::vector<uint8_t> bytes) {
    Source.AddImage(LOGO_IMAGE_TYPE_HAND_OFF, format, 0, 0, 0, std::move(bytes));
  }
  // The hand-over the platform recorded, checked against the screen.
  void ExpectHandedOver(UINTN x, UINTN y, UINTN w, UINTN h, uint32_t rgb) {
    ASSERT_EQ(BootLogo.Calls().size(), 1u);
    const auto &call = BootLogo.Calls()[0];
    EXPECT_EQ(call.X, x);
    EXPECT_EQ(call.Y, y);
    EXPECT_EQ(call.Width, w);
    EXPECT_EQ(call.Height, h);
    ASSERT_EQ(call.Pixels.size(), w * h);
    for (const auto &pixel : call.Pixels) ASSERT_EQ(sim::PixelValue(pixel), rgb);
    EXPECT_TRUE(ImageAt(uint32_t(x), uint32_t(y), uint32_t(w), uint32_t(h), rgb));
  }
};

struct PositionCase {
  const char *Name;
  uint32_t ScreenWidth, ScreenHeight;
  uint16_t LogoWidth, LogoHeight;
  uint32_t Format;
  UINTN X, Y;
  INT64 BadgeLineTop;
};

const PositionCase kPositionCases[] = {
    {"Bitmap200x100On800x600", 800, 600, 200, 100, LOGO_FORMAT_BITMAP, 300, 179, 317},
    {"Format4Logo300x201On1024x768", 1024, 768, 300, 201, LOGO_FORMAT_FORMAT4, 362, 193, 432},
    {"JpegLogo1x1On640x480", 640, 480, 1, 1, LOGO_FORMAT_JPEG, 319, 183, 222},
    {"Format5WholeWidth", 800, 600, 800, 10, LOGO_FORMAT_FORMAT5, 0, 224, 272},
};

class HandOffPositionTest : public HandOffTest, public ::testing::WithParamInterface<PositionCase> {};

TEST_P(HandOffPositionTest, DrawsCentredAt382PerMilleAndHandsOver) {
  const PositionCase &c = GetParam();
  UsualPlatform(c.ScreenWidth, c.ScreenHeight);
  AddHandOffImage(c.Format, c.Format == LOGO_FORMAT_BITMAP
                                ? MakeBitmap(c.LogoWidth, c.LogoHeight, kRed)
                                : MakeTimg(c.LogoWidth, c.LogoHeight, kRed));
  Source.AddString(u"v1", kCentred, kCentred, kWhite, kBlue);
  const size_t before = LivePool();

  EXPECT_EQ(ShowBootLogo(0), EFI_SUCCESS);

  ExpectHandedOver(c.X, c.Y, c.LogoWidth, c.LogoHeight, kRed);
  EXPECT_EQ(DxeModule.BadgeLineTop, c.BadgeLineTop);
  ASSERT_EQ(Font.Calls().size(), 1u);
  EXPECT_EQ(Font.Calls()[0].Y, UINTN(c.BadgeLineTop));
  EXPECT_EQ(Console.Mode(), EfiConsoleControlScreenGraphics);
  // Only the hand-off image was asked for, with format 6 on entry.
  ASSERT_EQ(Source.GetImageCalls().size(), 1u);
  EXPECT_EQ(Source.GetImageCalls()[0].Type, LOGO_IMAGE_TYPE_HAND_OFF);
  EXPECT_EQ(Source.GetImageCalls()[0].Instance, 0u);
  EXPECT_EQ(Source.GetImageCalls()[0].Format, LOGO_FORMAT_ASK_HAND_OFF);
  // Image bytes and pixels are freed; the ready-to-boot event is what stays.
  ExpectPoolClean(before);
  EXPECT_EQ(Env().LiveEventCount(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Cases, HandOffPositionTest, ::testing::ValuesIn(kPositionCases),
                         [](const auto &info) { return std::string(info.param.Name); });

TEST_F(HandOffTest, AnimatedLogoHandsOverItsFirstFrameOnly) {
  UsualPlatform();
  AddHandOffImage(LOGO_FORMAT_ANIMATED, sim::MakeTestImage(20, 10, {Pixel(kRed), Pixel(kGreen)}));
  const size_t before = LivePool();

  EXPECT_EQ(HandOffBootLogo(BootLogo.Protocol()), EFI_SUCCESS);

  ExpectHandedOver(390, 224, 20, 10, kRed);
  EXPECT_EQ(CountOnScreen(kGreen), 0u);
  EXPECT_EQ(Animated.LiveContexts(), 0u);
  EXPECT_TRUE(Animated.ReleaseErrors().empty());
  EXPECT_TRUE(Animated.DrawCalls().empty());
  ExpectPoolClean(before);
}

TEST_F(HandOffTest, WithoutBadgeStringsNothingIsRegistered) {
  UsualPlatform();
  AddHandOffImage(LOGO_FORMAT_BITMAP, MakeBitmap(200, 100, kRed));
  Screen().Fill(Pixel(kGrey));

  EXPECT_EQ(ShowBootLogo(0), EFI_SUCCESS);
  ExpectHandedOver(300, 179, 200, 100, kRed);
  EXPECT_EQ(Env().LiveEventCount(), 0u);

  Env().SignalEventGroup(sim::kEventGroupReadyToBoot);
  EXPECT_EQ(CountOnScreen(kGrey), 800u * 600 - 200 * 100);
}

TEST_F(HandOffTest, ReadyToBootPaintsTheBadgeBandsBlackAndLeavesTheLogo) {
  UsualPlatform();
  AddHandOffImage(LOGO_FORMAT_BITMAP, MakeBitmap(200, 100, kRed));
  Source.AddString(u"at 400", 10, 400, kWhite, kBlue);
  Source.AddString(u"one", kCentred, kCentred, kWhite, kBlue);
  Source.AddString(u"at 440", 600, 440, kWhite, kBlue);
  Source.AddString(u"two", kCentred, kCentred, kWhite, kBlue);
  Source.AddString(u"three", kCentred, kCentred, kWhite, kBlue);
  Screen().Fill(Pixel(kGrey));

  ASSERT_EQ(ShowBootLogo(0), EFI_SUCCESS);
  ASSERT_EQ(DxeModule.BadgeLineTop, 317);
  ASSERT_EQ(DxeModule.BadgeLineCount, 3u);
  EXPECT_GT(Count(0, 317, 800, 57, kWhite), 0u);
  EXPECT_GT(Count(0, 400, 800, 60, kWhite), 0u);
  const size_t before = LivePool();

  Env().SignalEventGroup(sim::kEventGroupReadyToBoot);

  EXPECT_TRUE(Screen().RectIs(0, 400, 800, 60, kBlack));  // 400 to 440 + 20
  EXPECT_TRUE(Screen().RectIs(0, 317, 800, 57, kBlack));  // three lines of 19
  EXPECT_EQ(CountOnScreen(kWhite), 0u);
  EXPECT_EQ(CountOnScreen(kGrey), 800u * 600 - 800 * (60 + 57) - 200 * 100);
  EXPECT_TRUE(ImageAt(300, 179, 200, 100, kRed));
  EXPECT_EQ(DxeModule.BadgeLineTop, -1);
  EXPECT_EQ(DxeModule.BadgeLineCount, 0u);
  // The notification ran once and closed its event; the strings it read were freed.
  EXPECT_EQ(Env().LiveEventCount(), 0u);
  ExpectPoolClean(before);
  Env().SignalEventGroup(sim::kEventGroupReadyToBoot);
  EXPECT_EQ(CountOnScreen(kGrey), 800u * 600 - 800 * (60 + 57) - 200 * 100);
}

TEST_F(HandOffTest, CentredStringsOnlyPaintOnlyTheirLines) {
  UsualPlatform();
  AddHandOffImage(LOGO_FORMAT_BITMAP, MakeBitmap(200, 100, kRed));
  Source.AddString(u"one", kCentred, 5, kWhite, kBlue);
  Source.AddString(u"two", 5, kCentred, kWhite, kBlue);
  Screen().Fill(Pixel(kGrey));
  ASSERT_EQ(ShowBootLogo(0), EFI_SUCCESS);

  Env().SignalEventGroup(sim::kEventGroupReadyToBoot);

  EXPECT_TRUE(Screen().RectIs(0, 317, 800, 38, kBlack));
  EXPECT_EQ(CountOnScreen(0x000000), 800u * 38);
}

TEST_F(HandOffTest, BadgeBandReachingPastTheScreenIsCutAtItsEdge) {
  UsualPlatform();
  AddHandOffImage(LOGO_FORMAT_BITMAP, MakeBitmap(200, 100, kRed));
  Source.AddString(u"low", 10, 590, kWhite, kBlue);  // its band would end at row 610
  Screen().Fill(Pixel(kGrey));
  ASSERT_EQ(ShowBootLogo(0), EFI_SUCCESS);

  Env().SignalEventGroup(sim::kEventGroupReadyToBoot);

  EXPECT_TRUE(Screen().RectIs(0, 590, 800, 10, kBlack));
  EXPECT_EQ(CountOnScreen(0x000000), 800u * 10);
}

TEST_F(HandOffTest, ReadyToBootWithoutStringsLeftPaintsNothing) {
  UsualPlatform();
  AddHandOffImage(LOGO_FORMAT_BITMAP, MakeBitmap(200, 100, kRed));
  Source.AddString(u"one", kCentred, kCentred, kWhite, kBlue);
  Screen().Fill(Pixel(kGrey));
  ASSERT_EQ(ShowBootLogo(0), EFI_SUCCESS);
  Source.FailGetStringCount(EFI_DEVICE_ERROR);

  Env().SignalEventGroup(sim::kEventGroupReadyToBoot);

  EXPECT_EQ(CountOnScreen(0x000000), 0u);
  EXPECT_EQ(Env().LiveEventCount(), 0u);
}

TEST_F(HandOffTest, EventCreationFailureIsReturnedAfterDrawingEverything) {
  UsualPlatform();
  AddHandOffImage(LOGO_FORMAT_BITMAP, MakeBitmap(200, 100, kRed));
  Source.AddString(u"one", kCentred, kCentred, kWhite, kBlue);
  Env().Failures().FailNextCall(sim::Service::CreateEventEx, EFI_OUT_OF_RESOURCES);
  const size_t before = LivePool();

  EXPECT_EQ(HandOffBootLogo(BootLogo.Protocol()), EFI_OUT_OF_RESOURCES);

  ExpectHandedOver(300, 179, 200, 100, kRed);
  EXPECT_EQ(Font.Calls().size(), 1u);
  EXPECT_EQ(Env().LiveEventCount(), 0u);
  ExpectPoolClean(before);
}

TEST_F(HandOffTest, NullInterfaceIsRefused) {
  UsualPlatform();
  EXPECT_EQ(HandOffBootLogo(nullptr), EFI_INVALID_PARAMETER);
  EXPECT_TRUE(Source.GetImageCalls().empty());
}

// What HandOffBootLogo returns when it gives up, and that it gave up cleanly: nothing drawn,
// nothing handed over, nothing leaked, no event.
struct RefusalCase {
  const char *Name;
  std::function<void(HandOffTest &)> Arrange;
  EFI_STATUS Expected;
};

class HandOffRefusalTest : public HandOffTest,
                           public ::testing::WithParamInterface<RefusalCase> {
 public:
  using HandOffTest::AddHandOffImage;
  using HandOffTest::AttachScreen;
  using HandOffTest::AttachUgaOnly;
  using HandOffTest::InstallBootLogo;
  using HandOffTest::InstallConsoleControl;
  using HandOffTest::InstallDecoders;
  using HandOffTest::InstallFont;
  using HandOffTest::InstallSource;
  using HandOffTest::UsualPlatform;
  using HandOffTest::Format4;
  using HandOffTest::Source;
};

const RefusalCase kRefusalCases[] = {
    {"NoLogoSource",
     [](HandOffTest &t) {
       auto &r = static_cast<HandOffRefusalTest &>(t);
       r.AttachScreen({{800, 600}});
       r.InstallConsoleControl();
       r.InstallDecoders();
     },
     EFI_NOT_FOUND},
    {"NoHandOffImage", [](HandOffTest &t) { static_cast<HandOffRefusalTest &>(t).UsualPlatform(); },
     EFI_NOT_FOUND},
    {"GetImageError",
     [](HandOffTest &t) {
       auto &r = static_cast<HandOffRefusalTest &>(t);
       r.UsualPlatform();
       r.Source.FailGetImage(LOGO_IMAGE_TYPE_HAND_OFF, EFI_DEVICE_ERROR);
     },
     EFI_DEVICE_ERROR},
    {"ConsoleWithoutGraphicsOutput",
     [](HandOffTest &t) {
       auto &r = static_cast<HandOffRefusalTest &>(t);
       r.AttachUgaOnly(800, 600);
       r.InstallConsoleControl();
       r.InstallSource();
       r.AddHandOffImage(LOGO_FORMAT_BITMAP, MakeBitmap(20, 10, kRed));
     },
     EFI_UNSUPPORTED},
    {"FormatTwo",
     [](HandOffTest &t) {
       auto &r = static_cast<HandOffRefusalTest &>(t);
       r.UsualPlatform();
       r.AddHandOffImage(LOGO_FORMAT_NONE, MakeTimg(20, 10, kRed));
     },
     EFI_UNSUPPORTED},
    {"UnknownFormat",
     [](HandOffTest &t) {
       auto &r = static_cast<HandOffRefusalTest &>(t);
       r.UsualPlatform();
       r.AddHandOffImage(9, MakeTimg(20, 10, kRed));
     },
     EFI_UNSUPPORTED},
    {"DecoderAbsent",
     [](HandOffTest &t) {
       auto &r = static_cast<HandOffRefusalTest &>(t);
       r.AttachScreen({{800, 600}});
       r.InstallConsoleControl();
       r.InstallSource();
       r.AddHandOffImage(LOGO_FORMAT_FORMAT4, MakeTimg(20, 10, kRed));
     },
     EFI_UNSUPPORTED},
    {"DecoderError",
     [](HandOffTest &t) {
       auto &r = static_cast<HandOffRefusalTest &>(t);
       r.UsualPlatform();
       r.AddHandOffImage(LOGO_FORMAT_FORMAT4, MakeTimg(20, 10, kRed));
       r.Format4.FailNextDecode(EFI_VOLUME_CORRUPTED);
     },
     EFI_VOLUME_CORRUPTED},
    {"CorruptBitmap",
     [](HandOffTest &t) {
       auto &r = static_cast<HandOffRefusalTest &>(t);
       r.UsualPlatform();
       auto bitmap = MakeBitmap(20, 10, kRed);
       bitmap.resize(bitmap.size() - 1);
       r.AddHandOffImage(LOGO_FORMAT_BITMAP, bitmap);
     },
     EFI_UNSUPPORTED},
    {"DecoderYieldsNoPixels",
     [](HandOffTest &t) {
       auto &r = static_cast<HandOffRefusalTest &>(t);
       r.UsualPlatform();
       r.AddHandOffImage(LOGO_FORMAT_FORMAT4, MakeTimg(20, 10, kRed));
       r.Format4.SucceedWithoutPixels(true);
     },
     EFI_UNSUPPORTED},
    {"NoConsoleControl",
     [](HandOffTest &t) {
       auto &r = static_cast<HandOffRefusalTest &>(t);
       r.AttachScreen({{800, 600}});
       r.InstallDecoders();
       r.InstallSource();
       r.AddHandOffImage(LOGO_FORMAT_BITMAP, MakeBitmap(20, 10, kRed));
     },
     EFI_NOT_FOUND},
    {"LogoWiderThanTheScreen",
     [](HandOffTest &t) {
       auto &r = static_cast<HandOffRefusalTest &>(t);
       r.UsualPlatform();
       r.AddHandOffImage(LOGO_FORMAT_BITMAP, MakeBitmap(801, 10, kRed));
     },
     EFI_UNSUPPORTED},
    {"LogoTallerThanThreeQuartersOfTheScreen",
     [](HandOffTest &t) {
       auto &r = static_cast<HandOffRefusalTest &>(t);
       r.UsualPlatform();
       r.AddHandOffImage(LOGO_FORMAT_BITMAP, MakeBitmap(20, 460, kRed));
     },
     EFI_UNSUPPORTED},
    {"LogoReachingPastTheBottom",
     [](HandOffTest &t) {
       auto &r = static_cast<HandOffRefusalTest &>(t);
       r.UsualPlatform();
       // 229 - 175 = 54, and 54 + 551 > 600.
       r.AddHandOffImage(LOGO_FORMAT_BITMAP, MakeBitmap(20, 551, kRed));
     },
     EFI_UNSUPPORTED},
};

TEST_P(HandOffRefusalTest, GivesUpCleanly) {
  GetParam().Arrange(*this);
  const size_t before = LivePool();

  EXPECT_EQ(HandOffBootLogo(BootLogo.Protocol()), GetParam().Expected);

  EXPECT_TRUE(BootLogo.Calls().empty());
  EXPECT_EQ(CountOnScreen(kRed), 0u);
  EXPECT_EQ(Env().LiveEventCount(), 0u);
  EXPECT_EQ(Animated.LiveContexts(), 0u);
  ExpectPoolClean(before);
}

INSTANTIATE_TEST_SUITE_P(Cases, HandOffRefusalTest, ::testing::ValuesIn(kRefusalCases),
                         [](const auto &info) { return std::string(info.param.Name); });

TEST_F(HandOffTest, AnimationWithoutFirstFrameIsReleasedAndRefused) {
  AttachScreen({{800, 600}});
  InstallConsoleControl();
  InstallSource();
  InstallBootLogo();
  FramelessAnimationDecoder frameless;
  frameless.Install(Env());
  AddHandOffImage(LOGO_FORMAT_ANIMATED, MakeTimg(40, 30, kRed));
  const size_t before = LivePool();

  EXPECT_EQ(HandOffBootLogo(BootLogo.Protocol()), EFI_UNSUPPORTED);

  EXPECT_EQ(frameless.Decodes(), 1u);
  EXPECT_TRUE(frameless.AllReleased());
  EXPECT_TRUE(BootLogo.Calls().empty());
  ExpectPoolClean(before);
}

TEST_F(HandOffTest, RefusedHandOffFallsBackToTheOrdinaryDisplay) {
  UsualPlatform();
  AddHandOffImage(LOGO_FORMAT_NONE, MakeTimg(20, 10, kRed));
  Source.AddImage(LOGO_IMAGE_TYPE_LOGO, LOGO_FORMAT_BITMAP, LOGO_PLACE_CENTRE, 0, 0,
                  MakeBitmap(200, 100, kGreen));

  // With a logo source the ordinary display ends with the error that ends its overlays.
  EXPECT_EQ(ShowBootLogo(0), EFI_NOT_FOUND);

  EXPECT_TRUE(BootLogo.Calls().empty());
  EXPECT_TRUE(ImageAt(300, 250, 200, 100, kGreen));
  EXPECT_EQ(CountOnScreen(kRed), 0u);
}

// Any one allocation of the hand-off failing: Out of Resources with nothing handed over, or
// (when only a badge string was lost) Success; never a leak, a double free or a live context.
TEST_F(HandOffTest, AllocationFailureSweep) {
  UsualPlatform();
  AddHandOffImage(LOGO_FORMAT_ANIMATED, sim::MakeTestImage(20, 10, {Pixel(kRed), Pixel(kGreen)}));
  Source.AddString(u"one", kCentred, kCentred, kWhite, kBlue);
  Source.AddString(u"two", 10, 500, kWhite, kBlue);
  bool sawOutOfResources = false;
  for (unsigned n = 1;; ++n) {
    ASSERT_LT(n, 100u) << "the sweep does not end";
    const size_t before = LivePool();
    const size_t handedOver = BootLogo.Calls().size();
    const size_t events = Env().LiveEventCount();
    Env().Pool().FailNthAllocation(n);

    const EFI_STATUS status = HandOffBootLogo(BootLogo.Protocol());

    ExpectPoolClean(before);
    EXPECT_EQ(Animated.LiveContexts(), 0u);
    EXPECT_TRUE(Animated.ReleaseErrors().empty());
    if (status == EFI_OUT_OF_RESOURCES) {
      sawOutOfResources = true;
      EXPECT_EQ(BootLogo.Calls().size(), handedOver) << "allocation " << n;
      EXPECT_EQ(Env().LiveEventCount(), events) << "allocation " << n;
    } else {
      EXPECT_EQ(status, EFI_SUCCESS) << "allocation " << n;
      EXPECT_EQ(BootLogo.Calls().size(), handedOver + 1) << "allocation " << n;
    }
    if (InjectedFailureUnused(n)) {
      EXPECT_EQ(status, EFI_SUCCESS);
      EXPECT_EQ(Env().LiveEventCount(), events + 1);
      break;
    }
  }
  EXPECT_TRUE(sawOutOfResources);
}

}  // namespace
}  // namespace logo_test

namespace logo_test {
namespace {

// The erase as the ready-to-boot notification runs it, on a screen with badge text.
class EraseBadgeStringsTest : public LogoTest {
 protected:
  EFI_EVENT ReadyToBootEvent() {
    EFI_EVENT event = nullptr;
    EXPECT_EQ(CreateReadyToBootEvent(TPL_CALLBACK, EraseBadgeStrings, nullptr, &event),
              EFI_SUCCESS);
    return event;
  }
};

TEST_F(EraseBadgeStringsTest, WithoutLogoSourceNothingIsPaintedAndTheEventCloses) {
  AttachScreen({{800, 600}}).Screen().Fill(Pixel(kGrey));
  DxeModule.BadgeLineTop = 100;
  DxeModule.BadgeLineCount = 2;
  ReadyToBootEvent();
  Env().SignalEventGroup(sim::kEventGroupReadyToBoot);
  EXPECT_EQ(CountOnScreen(kGrey), 800u * 600);
  EXPECT_EQ(Env().LiveEventCount(), 0u);
  EXPECT_EQ(DxeModule.BadgeLineCount, 2u);
}

TEST_F(EraseBadgeStringsTest, WithoutGraphicsOutputNothingIsPainted) {
  sim::UgaDrawDevice &uga = AttachUgaOnly(800, 600);
  uga.Screen().Fill(Pixel(kGrey));
  InstallSource();
  Source.AddString(u"x", 0, 10, kWhite, kBlue);
  ReadyToBootEvent();
  Env().SignalEventGroup(sim::kEventGroupReadyToBoot);
  EXPECT_EQ(CountOnScreen(kGrey), 800u * 600);
  EXPECT_TRUE(Source.StringCountCalls().empty());
}

TEST_F(EraseBadgeStringsTest, NoStringSuppliedPaintsNothing) {
  AttachScreen({{800, 600}}).Screen().Fill(Pixel(kGrey));
  InstallSource();
  Source.AddMissingString();
  DxeModule.BadgeLineTop = 100;
  DxeModule.BadgeLineCount = 2;
  ReadyToBootEvent();
  Env().SignalEventGroup(sim::kEventGroupReadyToBoot);
  EXPECT_EQ(CountOnScreen(kGrey), 800u * 600);
  EXPECT_EQ(DxeModule.BadgeLineTop, 100);
}

TEST_F(EraseBadgeStringsTest, CentredBandNeedsBothALineTopAndLines) {
  AttachScreen({{800, 600}}).Screen().Fill(Pixel(kGrey));
  InstallSource();
  Source.AddString(u"x", kCentred, kCentred, kWhite, kBlue);
  DxeModule.BadgeLineTop = 100;
  DxeModule.BadgeLineCount = 0;
  ReadyToBootEvent();
  Env().SignalEventGroup(sim::kEventGroupReadyToBoot);
  EXPECT_EQ(CountOnScreen(kGrey), 800u * 600);
  EXPECT_EQ(DxeModule.BadgeLineTop, 100);
}

TEST_F(EraseBadgeStringsTest, EventWithoutNotifyFunctionJoinsTheGroupAndDoesNothing) {
  AttachScreen({{800, 600}}).Screen().Fill(Pixel(kGrey));
  EFI_EVENT event = nullptr;
  ASSERT_EQ(CreateReadyToBootEvent(TPL_CALLBACK, nullptr, nullptr, &event), EFI_SUCCESS);
  EXPECT_NE(event, nullptr);
  EXPECT_EQ(Env().LiveEventCount(), 1u);
  Env().SignalEventGroup(sim::kEventGroupReadyToBoot);
  EXPECT_EQ(CountOnScreen(kGrey), 800u * 600);
  EXPECT_EQ(Env().LiveEventCount(), 1u);
  BootServices()->CloseEvent(event);
}

}  // namespace
}  // namespace logo_test
