// Format 5 images blended onto the screen, and animated images drawn by their decoder until
// the console leaves graphics mode.
#include "platform_dxe/ModuleState.h"
#include "platform_dxe/PlatformServices.h"
#include "tests/logo/display/FramelessAnimationDecoder.h"
#include "tests/logo/display/LogoTest.h"

namespace logo_test {
namespace {

constexpr uint32_t kLogo = LOGO_IMAGE_TYPE_LOGO;

class LogoEffectsTest : public LogoTest {
 protected:
  void SetUp() override {
    LogoTest::SetUp();
    StandardConsole();
    InstallSource();
  }
};

// ---- Blending ----

TEST_F(LogoEffectsTest, BlendedImageIsMixedWithWhatIsOnTheScreen) {
  Screen().Fill(Pixel(0x204060));
  Format5.SetBlendFlag(true);
  Format5.SetBlendValueOut(7);
  Source.AddImage(kLogo, LOGO_FORMAT_FORMAT5, LOGO_PLACE_LEFT_TOP, 100, 50,
                  MakeTimg(30, 20, 0xE0C0A0));
  const size_t before = LivePool();

  EXPECT_EQ(ShowBootLogo(0), EFI_NOT_FOUND);

  // Each channel is the average of image and screen.
  EXPECT_TRUE(Screen().RectIs(100, 50, 30, 20, Pixel(0x808080)));
  EXPECT_EQ(CountOnScreen(0x808080), 30u * 20);
  ASSERT_EQ(Format5.DecodeCalls().size(), 1u);
  EXPECT_EQ(Format5.DecodeCalls()[0].BlendValueIn, 3u);
  ASSERT_EQ(Format5.BlendCalls().size(), 1u);
  EXPECT_EQ(Format5.BlendCalls()[0].Value, 7u);
  EXPECT_EQ(Format5.BlendCalls()[0].PixelsSize, 30u * 20 * 4);
  EXPECT_EQ(Format5.BlendCalls()[0].BackgroundSize, 30u * 20 * 4);
  // The screen rectangle was read first, then the mix drawn.
  ASSERT_EQ(Gop->BltCalls().size(), 2u);
  EXPECT_EQ(Gop->BltCalls()[0].Op, EfiBltVideoToBltBuffer);
  EXPECT_EQ(Gop->BltCalls()[0].SourceX, 100u);
  EXPECT_EQ(Gop->BltCalls()[0].SourceY, 50u);
  EXPECT_EQ(Gop->BltCalls()[0].Delta, 30u * 4);
  EXPECT_EQ(Gop->BltCalls()[1].Op, EfiBltBufferToVideo);
  ExpectPoolClean(before);
}

TEST_F(LogoEffectsTest, ImageWithoutBlendFlagIsDrawnAsItIs) {
  Screen().Fill(Pixel(0x204060));
  Source.AddImage(kLogo, LOGO_FORMAT_FORMAT5, LOGO_PLACE_LEFT_TOP, 100, 50,
                  MakeTimg(30, 20, 0xE0C0A0));
  EXPECT_EQ(ShowBootLogo(0), EFI_NOT_FOUND);
  EXPECT_TRUE(ImageAt(100, 50, 30, 20, 0xE0C0A0));
  EXPECT_TRUE(Format5.BlendCalls().empty());
}

class UgaBlendTest : public LogoTest {};

TEST_F(UgaBlendTest, BlendedImageThroughUga) {
  AttachUgaOnly(320, 200);
  InstallConsoleControl();
  InstallDecoders();
  InstallSource();
  Screen().Fill(Pixel(0x204060));
  Format5.SetBlendFlag(true);
  Source.AddImage(kLogo, LOGO_FORMAT_FORMAT5, LOGO_PLACE_CENTRE, 0, 0, MakeTimg(20, 10, 0xE0C0A0));

  EXPECT_EQ(ShowBootLogo(0), EFI_NOT_FOUND);

  EXPECT_TRUE(ImageAt(150, 95, 20, 10, 0x808080));
  ASSERT_EQ(Uga->BltCalls().size(), 2u);
  EXPECT_EQ(Uga->BltCalls()[0].Op, EfiUgaVideoToBltBuffer);
}

TEST_F(LogoEffectsTest, MissingBackgroundBufferDrawsNothingForThatImageOnly) {
  Screen().Fill(Pixel(0x204060));
  Format5.SetBlendFlag(true);
  Source.AddImage(kLogo, LOGO_FORMAT_FORMAT5, LOGO_PLACE_LEFT_TOP, 100, 50,
                  MakeTimg(30, 20, 0xE0C0A0));
  Source.AddImage(kLogo, LOGO_FORMAT_FORMAT4, LOGO_PLACE_LEFT_TOP, 300, 50, MakeTimg(8, 8, kRed));
  const size_t before = LivePool();
  // The image copy, its pixels, then the background buffer.
  Env().Pool().FailNthAllocation(3);

  EXPECT_EQ(ShowBootLogo(0), EFI_NOT_FOUND);

  EXPECT_FALSE(InjectedFailureUnused(3));
  EXPECT_TRUE(Format5.BlendCalls().empty());
  EXPECT_EQ(CountOnScreen(0x204060), 800u * 600 - 8 * 8);
  EXPECT_TRUE(ImageAt(300, 50, 8, 8, kRed));
  ExpectPoolClean(before);
}

TEST_F(LogoEffectsTest, UnreadableScreenDrawsNothingForThatImage) {
  Screen().Fill(Pixel(0x204060));
  Format5.SetBlendFlag(true);
  Gop->FailNextBlt(EFI_DEVICE_ERROR);
  Source.AddImage(kLogo, LOGO_FORMAT_FORMAT5, LOGO_PLACE_LEFT_TOP, 100, 50,
                  MakeTimg(30, 20, 0xE0C0A0));
  const size_t before = LivePool();
  EXPECT_EQ(ShowBootLogo(0), EFI_NOT_FOUND);
  EXPECT_EQ(CountOnScreen(0x204060), 800u * 600);
  ExpectPoolClean(before);
}

TEST_F(LogoEffectsTest, BlendedImageOffTheScreenIsNeitherReadNorDrawn) {
  Format5.SetBlendFlag(true);
  Source.AddImage(kLogo, LOGO_FORMAT_FORMAT5, LOGO_PLACE_LEFT_TOP, 790, 0,
                  MakeTimg(30, 20, 0xE0C0A0));
  EXPECT_EQ(ShowBootLogo(0), EFI_NOT_FOUND);
  EXPECT_TRUE(Gop->BltCalls().empty());
  EXPECT_TRUE(Format5.BlendCalls().empty());
}

// ---- Animation ----

TEST_F(LogoEffectsTest, StillAnimatedImageIsDrawnOnceByItsDecoder) {
  Source.AddImage(kLogo, LOGO_FORMAT_ANIMATED, LOGO_PLACE_CENTRE, 0, 0, MakeTimg(40, 30, kRed));
  const size_t before = LivePool();

  EXPECT_EQ(ShowBootLogo(0), EFI_NOT_FOUND);

  ASSERT_EQ(Animated.DrawCalls().size(), 1u);
  EXPECT_TRUE(Animated.StepCalls().empty());
  const IMAGE_ANIMATION_STATE &state = Animated.DrawCalls()[0].State;
  EXPECT_NE(state.Context, 0u);
  EXPECT_EQ(state.Zero16, 0u);
  EXPECT_EQ(state.Zero32, 0u);
  EXPECT_EQ(state.ScreenWidth, 800u);
  EXPECT_EQ(state.ScreenHeight, 600u);
  EXPECT_EQ(state.X, 380u);
  EXPECT_EQ(state.Y, 285u);
  EXPECT_EQ(state.One, 1u);
  EXPECT_EQ(state.Zero80, 0u);
  EXPECT_EQ(state.Zero88, 0u);
  EXPECT_EQ(Animated.DrawCalls()[0].GraphicsOutput, Gop->Protocol());
  EXPECT_TRUE(ImageAt(380, 285, 40, 30, kRed));
  EXPECT_EQ(Animated.LiveContexts(), 0u);
  EXPECT_TRUE(Animated.ReleaseErrors().empty());
  ExpectPoolClean(before);
}

TEST_F(LogoEffectsTest, AnimationRunsUntilTheConsoleLeavesGraphicsMode) {
  Source.AddImage(kLogo, LOGO_FORMAT_ANIMATED, LOGO_PLACE_LEFT_TOP, 10, 10,
                  sim::MakeTestImage(8, 8, {Pixel(kRed), Pixel(kGreen), Pixel(kBlue)}));
  Source.AddImage(kLogo, LOGO_FORMAT_FORMAT4, LOGO_PLACE_LEFT_TOP, 100, 100, MakeTimg(4, 4, kYellow));
  // The fifth look at the console finds it in text mode.
  Console.SwitchToTextAfterGetModeCalls(5);
  const size_t before = LivePool();

  EXPECT_EQ(ShowBootLogo(0), EFI_NOT_FOUND);

  EXPECT_TRUE(Animated.DrawCalls().empty());
  ASSERT_EQ(Animated.StepCalls().size(), 4u);
  for (const auto &step : Animated.StepCalls()) {
    EXPECT_EQ(step.State.X, 10u);
    EXPECT_EQ(step.Reserved, 0u);
    EXPECT_EQ(step.GraphicsOutput, Gop->Protocol());
  }
  // The screen shows the frame of the last step.
  const uint32_t colours[] = {kRed, kGreen, kBlue};
  ASSERT_LT(Animated.StepCalls().back().Frame, 3u);
  EXPECT_TRUE(ImageAt(10, 10, 8, 8, colours[Animated.StepCalls().back().Frame]));
  EXPECT_EQ(Env().ElapsedMicroseconds(), 4u * 1000);
  EXPECT_EQ(Animated.LiveContexts(), 0u);
  // The loop went on with the next image.
  EXPECT_TRUE(ImageAt(100, 100, 4, 4, kYellow));
  ExpectPoolClean(before);
}

TEST_F(LogoEffectsTest, AnimationInTextModeFromTheStartDrawsNoStep) {
  Source.AddImage(kLogo, LOGO_FORMAT_ANIMATED, LOGO_PLACE_LEFT_TOP, 10, 10,
                  sim::MakeTestImage(8, 8, {Pixel(kRed), Pixel(kGreen)}));
  Console.SwitchToTextAfterGetModeCalls(1);
  EXPECT_EQ(ShowBootLogo(0), EFI_NOT_FOUND);
  EXPECT_TRUE(Animated.StepCalls().empty());
  EXPECT_TRUE(Animated.DrawCalls().empty());
  EXPECT_EQ(Animated.LiveContexts(), 0u);
  EXPECT_EQ(CountOnScreen(kRed) + CountOnScreen(kGreen), 0u);
}

TEST_F(LogoEffectsTest, AnimationEndsWhenTheDecoderHasNoFurtherStep) {
  Animated.SetStepsBeforeEnd(2);
  Source.AddImage(kLogo, LOGO_FORMAT_ANIMATED, LOGO_PLACE_LEFT_TOP, 10, 10,
                  sim::MakeTestImage(8, 8, {Pixel(kRed), Pixel(kGreen)}));
  EXPECT_EQ(ShowBootLogo(0), EFI_NOT_FOUND);
  ASSERT_EQ(Animated.StepCalls().size(), 3u);
  EXPECT_EQ(Animated.StepCalls()[2].Status, EFI_NOT_FOUND);
  EXPECT_EQ(Env().ElapsedMicroseconds(), 2u * 1000);
  EXPECT_EQ(Animated.LiveContexts(), 0u);
}

TEST_F(LogoEffectsTest, AnimationThatDoesNotFitIsReleasedUndrawn) {
  Source.AddImage(kLogo, LOGO_FORMAT_ANIMATED, LOGO_PLACE_LEFT_TOP, 790, 10,
                  sim::MakeTestImage(20, 8, {Pixel(kRed), Pixel(kGreen)}));
  EXPECT_EQ(ShowBootLogo(0), EFI_NOT_FOUND);
  EXPECT_TRUE(Animated.StepCalls().empty());
  EXPECT_TRUE(Animated.DrawCalls().empty());
  EXPECT_EQ(Animated.LiveContexts(), 0u);
}

TEST_F(LogoEffectsTest, AnimationAbovePlacementIsReleasedUndrawn) {
  Source.AddImage(kLogo, LOGO_FORMAT_ANIMATED, LOGO_PLACE_LEFT_BOTTOM, 0, 599,
                  sim::MakeTestImage(20, 8, {Pixel(kRed)}));
  EXPECT_EQ(ShowBootLogo(0), EFI_NOT_FOUND);
  EXPECT_TRUE(Animated.DrawCalls().empty());
  EXPECT_EQ(Animated.LiveContexts(), 0u);
}

class UgaAnimationTest : public LogoTest {};

TEST_F(UgaAnimationTest, AnimatedImageOnUgaIsReleasedUndrawn) {
  AttachUgaOnly(800, 600);
  InstallConsoleControl();
  InstallDecoders();
  InstallSource();
  Source.AddImage(kLogo, LOGO_FORMAT_ANIMATED, LOGO_PLACE_LEFT_TOP, 10, 10,
                  sim::MakeTestImage(8, 8, {Pixel(kRed), Pixel(kGreen)}));
  const size_t before = LivePool();
  EXPECT_EQ(ShowBootLogo(0), EFI_NOT_FOUND);
  EXPECT_TRUE(Animated.StepCalls().empty());
  EXPECT_TRUE(Animated.DrawCalls().empty());
  EXPECT_EQ(Animated.LiveContexts(), 0u);
  EXPECT_TRUE(Uga->BltCalls().empty());
  ExpectPoolClean(before);
}

class FramelessAnimationTest : public LogoTest {};

TEST_F(FramelessAnimationTest, ContextWithoutFirstFrameIsReleasedUndrawn) {
  AttachScreen({{800, 600}});
  InstallConsoleControl();
  InstallSource();
  FramelessAnimationDecoder frameless;
  frameless.Install(Env());
  Source.AddImage(kLogo, LOGO_FORMAT_ANIMATED, LOGO_PLACE_LEFT_TOP, 10, 10, MakeTimg(4, 4, kRed));
  Source.AddImage(kLogo, LOGO_FORMAT_ANIMATED, LOGO_PLACE_LEFT_TOP, 10, 10, MakeTimg(4, 4, kRed));

  EXPECT_EQ(ShowBootLogo(0), EFI_NOT_FOUND);

  EXPECT_EQ(frameless.Decodes(), 2u);
  EXPECT_TRUE(frameless.AllReleased());
  EXPECT_EQ(frameless.DrawsAndSteps(), 0u);
}

}  // namespace
}  // namespace logo_test
