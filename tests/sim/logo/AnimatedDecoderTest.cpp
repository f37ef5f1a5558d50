// The animated decoder double: the context the driver reads (layout and ownership), Release
// bookkeeping, drawing through the Graphics Output it is given, and the end of an animation.
#include <gtest/gtest.h>

#include <cstring>

#include "sim/uefi/logo/AnimatedDecoderDouble.h"
#include "sim/uefi/logo/TestImage.h"
#include "sim/uefi/display/GraphicsOutputDevice.h"
#include "tests/sim/logo/SamePixel.h"
#include "tests/support/UefiTest.h"

namespace sim {
namespace {

using test::SamePixel;

constexpr EFI_GRAPHICS_OUTPUT_BLT_PIXEL kRed = {0, 0, 0xFF, 0};
constexpr EFI_GRAPHICS_OUTPUT_BLT_PIXEL kGreen = {0, 0xFF, 0, 0};
constexpr EFI_GRAPHICS_OUTPUT_BLT_PIXEL kBlue = {0xFF, 0, 0, 0};

template <typename T>
T ReadAt(const void *base, size_t offset) {
  T value;
  std::memcpy(&value, static_cast<const uint8_t *>(base) + offset, sizeof value);
  return value;
}

class AnimatedDecoder : public UefiTest {
 protected:
  EFI_STATUS Decode(std::vector<uint8_t> image, VOID **context) {
    return p()->Decode(p(), image.data(), image.size(), 0, context);
  }
  IMAGE_ANIMATION_STATE StateFor(VOID *context, UINT64 x, UINT64 y) {
    IMAGE_ANIMATION_STATE state{};
    state.Context = reinterpret_cast<UINT64>(context);
    state.ScreenWidth = 16;
    state.ScreenHeight = 12;
    state.X = x;
    state.Y = y;
    state.One = 1;
    return state;
  }
  ANIMATED_IMAGE_DECODER_PROTOCOL *p() { return decoder.Protocol(); }

  AnimatedDecoderDouble decoder;
  GraphicsOutputDevice screen{{{16, 12}}};
};

TEST_F(AnimatedDecoder, ContextHasTheLayoutTheDriverReads) {
  VOID *context = nullptr;
  ASSERT_EQ(Decode(MakeTestImage(3, 2, {kRed, kGreen, kBlue}), &context), EFI_SUCCESS);
  ASSERT_NE(context, nullptr);
  EXPECT_NE(Env().Pool().Find(context), nullptr) << "the context is pool memory";
  EXPECT_EQ(ReadAt<UINT64>(context, 24), 3u);
  EXPECT_EQ(ReadAt<UINT64>(context, 32), 2u);
  const auto *frame = reinterpret_cast<const void *>(ReadAt<UINT64>(context, 48));
  ASSERT_NE(frame, nullptr);
  EXPECT_NE(ReadAt<UINT64>(frame, 32), 0u) << "three frames are an animation";
  const auto *pixels =
      reinterpret_cast<const EFI_GRAPHICS_OUTPUT_BLT_PIXEL *>(ReadAt<UINT64>(frame, 16));
  ASSERT_NE(pixels, nullptr);
  for (int i = 0; i < 6; ++i) EXPECT_TRUE(SamePixel(pixels[i], kRed)) << "first frame, pixel " << i;
  EXPECT_EQ(decoder.LiveContexts(), 1u);

  EXPECT_EQ(p()->Release(p(), context), EFI_SUCCESS);
  EXPECT_EQ(decoder.LiveContexts(), 0u);
  EXPECT_EQ(Env().Pool().LiveCount(), 0u) << "Release frees context, frames and pixels";
}

TEST_F(AnimatedDecoder, AStillImageIsMarkedNotAnimated) {
  VOID *context = nullptr;
  ASSERT_EQ(Decode(MakeTestImage(2, 2, kRed), &context), EFI_SUCCESS);
  const auto *frame = reinterpret_cast<const void *>(ReadAt<UINT64>(context, 48));
  EXPECT_EQ(ReadAt<UINT64>(frame, 32), 0u);
  p()->Release(p(), context);
}

TEST_F(AnimatedDecoder, EveryFailedAllocationLeavesNothingBehind) {
  // Context, frame records and three pixel buffers: five allocations.
  const std::vector<uint8_t> image = MakeTestImage(2, 2, {kRed, kGreen, kBlue});
  for (unsigned nth = 1; nth <= 5; ++nth) {
    VOID *context = reinterpret_cast<VOID *>(0x1);
    Env().Pool().FailNthAllocation(nth);
    EXPECT_EQ(Decode(image, &context), EFI_OUT_OF_RESOURCES) << "allocation " << nth;
    EXPECT_EQ(Env().Pool().LiveCount(), 0u) << "allocation " << nth;
    EXPECT_EQ(decoder.LiveContexts(), 0u);
  }
  VOID *context = nullptr;
  ASSERT_EQ(Decode(image, &context), EFI_SUCCESS);
  p()->Release(p(), context);
}

TEST_F(AnimatedDecoder, RefusesWhatIsNotASoundImage) {
  VOID *context = nullptr;
  std::vector<uint8_t> cut = MakeTestImage(2, 2, {kRed, kGreen});
  cut.pop_back();
  EXPECT_EQ(Decode(cut, &context), EFI_VOLUME_CORRUPTED);
  EXPECT_EQ(Decode({'G', 'I', 'F', '8', '9', 'a'}, &context), EFI_UNSUPPORTED);
  EXPECT_EQ(context, nullptr);
  EXPECT_EQ(Env().Pool().LiveCount(), 0u);
}

TEST_F(AnimatedDecoder, MisusedReleasesAreRecordedAndFreeNothing) {
  VOID *context = nullptr;
  ASSERT_EQ(Decode(MakeTestImage(1, 1, kRed), &context), EFI_SUCCESS);
  int notAContext = 0;
  EXPECT_EQ(p()->Release(p(), &notAContext), EFI_INVALID_PARAMETER);
  EXPECT_EQ(p()->Release(p(), context), EFI_SUCCESS);
  EXPECT_EQ(p()->Release(p(), context), EFI_INVALID_PARAMETER);
  ASSERT_EQ(decoder.ReleaseErrors().size(), 2u);
  EXPECT_NE(decoder.ReleaseErrors()[0].find("unknown"), std::string::npos);
  EXPECT_NE(decoder.ReleaseErrors()[1].find("double release"), std::string::npos);
  EXPECT_TRUE(Env().Pool().Errors().empty());
}

TEST_F(AnimatedDecoder, DrawImageDrawsFrameZeroAtTheStatePosition) {
  VOID *context = nullptr;
  ASSERT_EQ(Decode(MakeTestImage(2, 2, {kRed, kGreen}), &context), EFI_SUCCESS);
  IMAGE_ANIMATION_STATE state = StateFor(context, 5, 4);
  EXPECT_EQ(p()->DrawImage(p(), &state, screen.Protocol()), EFI_SUCCESS);
  EXPECT_TRUE(SamePixel(screen.Screen().At(5, 4), kRed));
  EXPECT_TRUE(SamePixel(screen.Screen().At(6, 5), kRed));
  EXPECT_TRUE(SamePixel(screen.Screen().At(7, 4), {0, 0, 0, 0}));
  ASSERT_EQ(decoder.DrawCalls().size(), 1u);
  EXPECT_EQ(decoder.DrawCalls()[0].State.X, 5u);
  EXPECT_EQ(decoder.DrawCalls()[0].State.One, 1u);
  EXPECT_EQ(decoder.DrawCalls()[0].GraphicsOutput, screen.Protocol());
  p()->Release(p(), context);
}

TEST_F(AnimatedDecoder, DrawingOffTheScreenIsTheScreensRefusal) {
  VOID *context = nullptr;
  ASSERT_EQ(Decode(MakeTestImage(4, 4, kRed), &context), EFI_SUCCESS);
  IMAGE_ANIMATION_STATE state = StateFor(context, 14, 0);
  EXPECT_EQ(p()->DrawImage(p(), &state, screen.Protocol()), EFI_INVALID_PARAMETER);
  p()->Release(p(), context);
}

TEST_F(AnimatedDecoder, AnimateStepCyclesThroughTheFrames) {
  VOID *context = nullptr;
  ASSERT_EQ(Decode(MakeTestImage(1, 1, {kRed, kGreen, kBlue}), &context), EFI_SUCCESS);
  IMAGE_ANIMATION_STATE state = StateFor(context, 0, 0);
  const EFI_GRAPHICS_OUTPUT_BLT_PIXEL expected[] = {kRed, kGreen, kBlue, kRed, kGreen};
  for (const auto &colour : expected) {
    ASSERT_EQ(p()->AnimateStep(p(), &state, screen.Protocol(), 0), EFI_SUCCESS);
    EXPECT_TRUE(SamePixel(screen.Screen().At(0, 0), colour));
  }
  p()->Release(p(), context);
}

TEST_F(AnimatedDecoder, StepsBeforeEndEndTheAnimationWithNotFound) {
  VOID *context = nullptr;
  ASSERT_EQ(Decode(MakeTestImage(1, 1, {kRed, kGreen}), &context), EFI_SUCCESS);
  decoder.SetStepsBeforeEnd(3);
  IMAGE_ANIMATION_STATE state = StateFor(context, 0, 0);
  for (int step = 0; step < 3; ++step) {
    EXPECT_EQ(p()->AnimateStep(p(), &state, screen.Protocol(), 0), EFI_SUCCESS);
  }
  const size_t blts = screen.BltCalls().size();
  EXPECT_EQ(p()->AnimateStep(p(), &state, screen.Protocol(), 0), EFI_NOT_FOUND);
  EXPECT_EQ(screen.BltCalls().size(), blts) << "the end draws nothing";
  EXPECT_EQ(decoder.StepCalls().size(), 4u);
  p()->Release(p(), context);
}

TEST_F(AnimatedDecoder, DrawingWithAReleasedContextIsRefusedAndRecorded) {
  VOID *context = nullptr;
  ASSERT_EQ(Decode(MakeTestImage(1, 1, kRed), &context), EFI_SUCCESS);
  p()->Release(p(), context);
  IMAGE_ANIMATION_STATE state = StateFor(context, 0, 0);
  EXPECT_EQ(p()->DrawImage(p(), &state, screen.Protocol()), EFI_INVALID_PARAMETER);
  EXPECT_EQ(p()->AnimateStep(p(), &state, screen.Protocol(), 0), EFI_INVALID_PARAMETER);
  EXPECT_TRUE(screen.BltCalls().empty());
  EXPECT_EQ(decoder.ContextErrors().size(), 2u);
}

TEST_F(AnimatedDecoder, SwitchesFailDecodeOnceOrGiveNoContext) {
  VOID *context = nullptr;
  decoder.FailNextDecode(EFI_DEVICE_ERROR);
  EXPECT_EQ(Decode(MakeTestImage(1, 1, kRed), &context), EFI_DEVICE_ERROR);
  decoder.SucceedWithoutPixels(true);
  EXPECT_EQ(Decode(MakeTestImage(1, 1, kRed), &context), EFI_SUCCESS);
  EXPECT_EQ(context, nullptr);
  EXPECT_EQ(Env().Pool().LiveCount(), 0u);
  ASSERT_EQ(decoder.DecodeCalls().size(), 2u);
  EXPECT_EQ(decoder.DecodeCalls()[0].Status, EFI_DEVICE_ERROR);
}

TEST_F(AnimatedDecoder, FailNextDrawFailsOnceWithoutDrawing) {
  VOID *context = nullptr;
  ASSERT_EQ(Decode(MakeTestImage(1, 1, kRed), &context), EFI_SUCCESS);
  IMAGE_ANIMATION_STATE state = StateFor(context, 0, 0);
  decoder.FailNextDraw(EFI_DEVICE_ERROR);
  EXPECT_EQ(p()->DrawImage(p(), &state, screen.Protocol()), EFI_DEVICE_ERROR);
  EXPECT_EQ(screen.BltCalls().size(), 0u);
  EXPECT_EQ(p()->DrawImage(p(), &state, screen.Protocol()), EFI_SUCCESS);
  p()->Release(p(), context);
}

}  // namespace
}  // namespace sim
