// ShowBootLogo with each of its allocations failing in turn, on its three paths: the status
// is the one the failure leads to, and nothing is leaked, freed twice or left undrawn that
// should have been given back.
#include "platform_dxe/ModuleState.h"
#include "platform_dxe/PlatformServices.h"
#include "tests/logo/display/LogoTest.h"

namespace logo_test {
namespace {

constexpr UINTN kCentred = LOGO_BADGE_CENTRED;

class AllocationSweepTest : public LogoTest {
 protected:
  // Runs ShowBootLogo with allocation n failing, for n = 1, 2, ... until a run no longer
  // reaches its nth allocation; `check` sees each status and whether that was the last run.
  template <typename Check>
  void Sweep(Check check) {
    for (unsigned n = 1;; ++n) {
      ASSERT_LT(n, 200u) << "the sweep does not end";
      SCOPED_TRACE("allocation " + std::to_string(n));
      Screen().Fill(Pixel(kGrey));
      const size_t before = LivePool();
      Env().Pool().FailNthAllocation(n);

      const EFI_STATUS status = ShowBootLogo(0);

      const bool last = InjectedFailureUnused(n);
      ExpectPoolClean(before);
      EXPECT_EQ(Animated.LiveContexts(), 0u);
      EXPECT_TRUE(Animated.ReleaseErrors().empty());
      EXPECT_TRUE(Animated.ContextErrors().empty());
      check(status, last);
      if (last) break;
    }
  }
};

TEST_F(AllocationSweepTest, OrdinaryPathWithALogoSource) {
  StandardConsole();
  InstallSource();
  Format5.SetBlendFlag(true);
  Source.AddImage(LOGO_IMAGE_TYPE_LOGO, LOGO_FORMAT_BITMAP, LOGO_PLACE_CENTRE, 0, 0,
                  MakeBitmap(40, 20, kRed, 10, 10));
  Source.AddImage(LOGO_IMAGE_TYPE_LOGO, LOGO_FORMAT_ANIMATED, LOGO_PLACE_LEFT_TOP, 600, 10,
                  MakeTimg(8, 8, kYellow));
  Source.AddImage(LOGO_IMAGE_TYPE_OVERLAY, LOGO_FORMAT_FORMAT5, LOGO_PLACE_LEFT_TOP, 0, 0,
                  MakeTimg(8, 8, kCyan));
  Source.AddImage(LOGO_IMAGE_TYPE_OVERLAY, LOGO_FORMAT_JPEG, LOGO_PLACE_LEFT_TOP, 0, 0,
                  MakeTimg(4, 4, kGreen));
  Source.AddString(u"Version %d", kCentred, kCentred, kWhite, kBlue);
  Source.AddString(u"F2", 20, 560, kWhite, kBlue);

  Sweep([&](EFI_STATUS status, bool last) {
    // With a logo source the display always ends with the error that ended the overlays:
    // Not Found past the last one, or the failure of fetching one.
    ASSERT_FALSE(Source.GetImageCalls().empty());
    const auto &end = Source.GetImageCalls().back();
    EXPECT_EQ(status, end.Status);
    EXPECT_EQ(end.Type, LOGO_IMAGE_TYPE_OVERLAY);
    EXPECT_TRUE(status == EFI_NOT_FOUND || status == EFI_OUT_OF_RESOURCES) << status;
    EXPECT_EQ(Console.Mode(), EfiConsoleControlScreenGraphics);
    if (last) {
      EXPECT_EQ(status, EFI_NOT_FOUND);
      EXPECT_TRUE(ImageAt(600, 10, 8, 8, kYellow));
      EXPECT_EQ(Count(10, 10, 8, 8, kGreen), 16u);
      EXPECT_GT(Count(20, 560, 16, 19, kBlue), 0u);
      EXPECT_GT(Count(364, 300, 72, 19, kBlue), 0u);
    }
  });
}

TEST_F(AllocationSweepTest, DefaultLogoPath) {
  StandardConsole();
  InstallDefaultLogo(MakeBitmap(200, 100, kRed));
  // The volume's copy of the file, then the decoded pixels.
  const EFI_STATUS expected[] = {EFI_UNSUPPORTED, EFI_OUT_OF_RESOURCES, EFI_SUCCESS};
  unsigned run = 0;

  Sweep([&](EFI_STATUS status, bool last) {
    ASSERT_LT(run, 3u);
    EXPECT_EQ(status, expected[run]);
    EXPECT_EQ(ImageAt(300, 250, 200, 100, kRed), status == EFI_SUCCESS);
    if (status != EFI_SUCCESS) {
      EXPECT_EQ(CountOnScreen(kGrey), 800u * 600);
    }
    EXPECT_EQ(last, run == 2);
    ++run;
  });
  EXPECT_EQ(run, 3u);
}

TEST_F(AllocationSweepTest, HandOffPath) {
  StandardConsole();
  InstallSource();
  InstallBootLogo();
  Source.AddImage(LOGO_IMAGE_TYPE_HAND_OFF, LOGO_FORMAT_BITMAP, 0, 0, 0, MakeBitmap(200, 100, kRed));
  Source.AddImage(LOGO_IMAGE_TYPE_LOGO, LOGO_FORMAT_FORMAT4, LOGO_PLACE_LEFT_TOP, 0, 0,
                  MakeTimg(10, 10, kGreen));
  Source.AddString(u"Press F2", kCentred, kCentred, kWhite, kBlue);
  size_t handedOver = 0;
  size_t events = Env().LiveEventCount();

  Sweep([&](EFI_STATUS status, bool last) {
    const bool handOff = BootLogo.Calls().size() > handedOver;
    handedOver = BootLogo.Calls().size();
    if (handOff) {
      // The hand-off went through (a lost badge string does not stop it).
      EXPECT_EQ(status, EFI_SUCCESS);
      EXPECT_TRUE(Screen().RectIs(300, 179, 200, 100, Pixel(kRed)));
    } else {
      // It gave up and the ordinary display ran, ending past the last overlay.
      EXPECT_EQ(status, EFI_NOT_FOUND);
      EXPECT_EQ(CountOnScreen(kRed), 0u);
    }
    events = Env().LiveEventCount();
    if (last) {
      EXPECT_TRUE(handOff);
      EXPECT_TRUE(TextAt(368, 317, 8, kWhite, kBlue));
    }
  });
  EXPECT_GE(events, 1u);
}

}  // namespace
}  // namespace logo_test
