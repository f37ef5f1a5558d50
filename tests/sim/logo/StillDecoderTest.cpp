// The JPEG, format 4 and format 5 decoder doubles: the pool ownership of the pixel buffer,
// the caller's buffer, refusal of anything that is not a sound TIMG image, and their switches.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>

#include "sim/uefi/logo/Format4DecoderDouble.h"
#include "sim/uefi/logo/Format5DecoderDouble.h"
#include "sim/uefi/logo/JpegDecoderDouble.h"
#include "sim/uefi/logo/TestImage.h"
#include "tests/sim/logo/SamePixel.h"
#include "tests/support/UefiTest.h"

namespace sim {
namespace {

using test::SamePixel;

constexpr EFI_GRAPHICS_OUTPUT_BLT_PIXEL kRed = {0, 0, 0xFF, 0};
constexpr EFI_GRAPHICS_OUTPUT_BLT_PIXEL kGreen = {0, 0xFF, 0, 0};

// One of the three doubles behind the common Decode arguments.
class AnyStillDecoder {
 public:
  virtual ~AnyStillDecoder() = default;
  virtual EFI_STATUS Decode(const std::vector<uint8_t> &image, VOID **pixels, UINTN *size,
                            UINTN *height, UINTN *width) = 0;
  virtual const std::vector<DecodeCall> &Calls() = 0;
  virtual void FailNextDecode(EFI_STATUS status) = 0;
  virtual void SucceedWithoutPixels(bool enable) = 0;
};

template <typename Double>
class StillDecoder : public AnyStillDecoder {
 public:
  const std::vector<DecodeCall> &Calls() override { return double_.DecodeCalls(); }
  void FailNextDecode(EFI_STATUS status) override { double_.FailNextDecode(status); }
  void SucceedWithoutPixels(bool enable) override { double_.SucceedWithoutPixels(enable); }
  EFI_STATUS Decode(const std::vector<uint8_t> &image, VOID **pixels, UINTN *size, UINTN *height,
                    UINTN *width) override {
    // An exact-size heap copy: a read past the image is a sanitizer report.
    std::unique_ptr<uint8_t[]> exact(new uint8_t[image.size() + 1]);
    if (!image.empty()) std::memcpy(exact.get(), image.data(), image.size());
    return CallDecode(exact.get(), image.size(), pixels, size, height, width);
  }

 private:
  EFI_STATUS CallDecode(VOID *image, UINTN imageSize, VOID **pixels, UINTN *size, UINTN *height,
                        UINTN *width);
  Double double_;
};

template <>
EFI_STATUS StillDecoder<JpegDecoderDouble>::CallDecode(VOID *image, UINTN imageSize, VOID **pixels,
                                                       UINTN *size, UINTN *height, UINTN *width) {
  UINT32 unused = 0;
  return double_.Protocol()->Decode(double_.Protocol(), image, imageSize, pixels, size, height,
                                    width, &unused);
}

template <>
EFI_STATUS StillDecoder<Format4DecoderDouble>::CallDecode(VOID *image, UINTN imageSize,
                                                          VOID **pixels, UINTN *size, UINTN *height,
                                                          UINTN *width) {
  return double_.Protocol()->Decode(double_.Protocol(), image, imageSize, pixels, size, height,
                                    width);
}

template <>
EFI_STATUS StillDecoder<Format5DecoderDouble>::CallDecode(VOID *image, UINTN imageSize,
                                                          VOID **pixels, UINTN *size, UINTN *height,
                                                          UINTN *width) {
  UINT32 value = 3;
  UINT8 blend = 0;
  return double_.Protocol()->Decode(double_.Protocol(), image, imageSize, pixels, size, height,
                                    width, &value, &blend);
}

struct DecoderKind {
  const char *name;
  std::function<std::unique_ptr<AnyStillDecoder>()> make;
};

class StillDecoders : public UefiTest, public ::testing::WithParamInterface<DecoderKind> {
 protected:
  void SetUp() override {
    UefiTest::SetUp();
    decoder_ = GetParam().make();
  }
  AnyStillDecoder &Decoder() { return *decoder_; }

 private:
  std::unique_ptr<AnyStillDecoder> decoder_;
};

TEST_P(StillDecoders, HandsOutFrameZeroInAPoolBufferTheCallerOwns) {
  const std::vector<uint8_t> image = MakeTestImage(3, 2, {kRed, kGreen});
  VOID *pixels = nullptr;
  UINTN size = 0, height = 0, width = 0;
  ASSERT_EQ(Decoder().Decode(image, &pixels, &size, &height, &width), EFI_SUCCESS);
  EXPECT_EQ(width, 3u);
  EXPECT_EQ(height, 2u);
  EXPECT_EQ(size, 3u * 2 * 4);
  ASSERT_NE(pixels, nullptr);
  const PoolAllocation *block = Env().Pool().Find(pixels);
  ASSERT_NE(block, nullptr) << "the pixel buffer must be pool memory the caller can free";
  EXPECT_EQ(block->size, size);
  const auto *decoded = static_cast<const EFI_GRAPHICS_OUTPUT_BLT_PIXEL *>(pixels);
  for (int i = 0; i < 6; ++i) EXPECT_TRUE(SamePixel(decoded[i], kRed)) << "pixel " << i;
  EXPECT_EQ(Env().Pool().Free(pixels), EFI_SUCCESS);
  EXPECT_EQ(Env().Pool().LiveCount(), 0u);
}

TEST_P(StillDecoders, FillsACallerBufferThatIsLargeEnough) {
  const std::vector<uint8_t> image = MakeTestImage(2, 2, kGreen);
  std::vector<EFI_GRAPHICS_OUTPUT_BLT_PIXEL> buffer(5, kRed);
  VOID *pixels = buffer.data();
  UINTN size = buffer.size() * 4, height = 0, width = 0;
  ASSERT_EQ(Decoder().Decode(image, &pixels, &size, &height, &width), EFI_SUCCESS);
  EXPECT_EQ(pixels, buffer.data());
  EXPECT_EQ(size, 16u);
  for (int i = 0; i < 4; ++i) EXPECT_TRUE(SamePixel(buffer[i], kGreen));
  EXPECT_TRUE(SamePixel(buffer[4], kRed)) << "nothing written past the image";
  EXPECT_EQ(Env().Pool().LiveCount(), 0u);
}

TEST_P(StillDecoders, ReportsTheSizeNeededForASmallCallerBuffer) {
  const std::vector<uint8_t> image = MakeTestImage(2, 2, kGreen);
  std::vector<EFI_GRAPHICS_OUTPUT_BLT_PIXEL> buffer(3, kRed);
  VOID *pixels = buffer.data();
  UINTN size = buffer.size() * 4, height = 0, width = 0;
  EXPECT_EQ(Decoder().Decode(image, &pixels, &size, &height, &width), EFI_BUFFER_TOO_SMALL);
  EXPECT_EQ(size, 16u);
  for (const auto &pixel : buffer) EXPECT_TRUE(SamePixel(pixel, kRed));
}

TEST_P(StillDecoders, RefusesEveryCutOfAnImageWithoutAllocating) {
  std::vector<uint8_t> image = MakeTestImage(3, 3, {kRed, kGreen});
  for (size_t length = 0; length < image.size(); ++length) {
    const std::vector<uint8_t> cut(image.begin(), image.begin() + length);
    VOID *pixels = nullptr;
    UINTN size = 0, height = 0, width = 0;
    const EFI_STATUS expected =
        length < kTestImageHeaderSize ? EFI_UNSUPPORTED : EFI_VOLUME_CORRUPTED;
    EXPECT_EQ(Decoder().Decode(cut, &pixels, &size, &height, &width), expected)
        << length << " bytes";
    EXPECT_EQ(pixels, nullptr);
  }
  EXPECT_EQ(Env().Pool().LiveCount(), 0u);
}

TEST_P(StillDecoders, AFailedAllocationIsOutOfResources) {
  const std::vector<uint8_t> image = MakeTestImage(2, 2, kGreen);
  VOID *pixels = nullptr;
  UINTN size = 0, height = 0, width = 0;
  Env().Pool().FailNthAllocation(1);
  EXPECT_EQ(Decoder().Decode(image, &pixels, &size, &height, &width), EFI_OUT_OF_RESOURCES);
  EXPECT_EQ(pixels, nullptr);
  EXPECT_EQ(Env().Pool().LiveCount(), 0u);
}

TEST_P(StillDecoders, FailNextDecodeFailsOnceAndTouchesNothing) {
  const std::vector<uint8_t> image = MakeTestImage(2, 2, kGreen);
  VOID *pixels = nullptr;
  UINTN size = 7, height = 7, width = 7;
  Decoder().FailNextDecode(EFI_DEVICE_ERROR);
  EXPECT_EQ(Decoder().Decode(image, &pixels, &size, &height, &width), EFI_DEVICE_ERROR);
  EXPECT_EQ(pixels, nullptr);
  EXPECT_EQ(size + height + width, 21u);
  EXPECT_EQ(Decoder().Decode(image, &pixels, &size, &height, &width), EFI_SUCCESS);
  Env().Pool().Free(pixels);
  ASSERT_EQ(Decoder().Calls().size(), 2u);
  EXPECT_EQ(Decoder().Calls()[0].Status, EFI_DEVICE_ERROR);
  EXPECT_EQ(Decoder().Calls()[1].ImageSize, image.size());
}

TEST_P(StillDecoders, SucceedWithoutPixelsGivesNoBuffer) {
  const std::vector<uint8_t> image = MakeTestImage(2, 2, kGreen);
  VOID *pixels = nullptr;
  UINTN size = 0, height = 0, width = 0;
  Decoder().SucceedWithoutPixels(true);
  EXPECT_EQ(Decoder().Decode(image, &pixels, &size, &height, &width), EFI_SUCCESS);
  EXPECT_EQ(pixels, nullptr);
  EXPECT_EQ(Env().Pool().LiveCount(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Decoders, StillDecoders,
    ::testing::Values(
        DecoderKind{"Jpeg", [] { return std::make_unique<StillDecoder<JpegDecoderDouble>>(); }},
        DecoderKind{"Format4",
                    [] { return std::make_unique<StillDecoder<Format4DecoderDouble>>(); }},
        DecoderKind{"Format5",
                    [] { return std::make_unique<StillDecoder<Format5DecoderDouble>>(); }}),
    [](const auto &info) { return std::string(info.param.name); });

// ---- Format 5: the blend flag, the in/out value and Blend ----

class Format5Blend : public UefiTest {
 protected:
  EFI_STATUS Decode(const std::vector<uint8_t> &image, UINT32 *value, UINT8 *flag) {
    return decoder.Protocol()->Decode(decoder.Protocol(), const_cast<uint8_t *>(image.data()),
                                      image.size(), &pixels, &size, &height, &width, value, flag);
  }
  void TearDown() override {
    if (pixels != nullptr) Env().Pool().Free(pixels);
    UefiTest::TearDown();
  }
  Format5DecoderDouble decoder;
  VOID *pixels = nullptr;
  UINTN size = 0, height = 0, width = 0;
};

TEST_F(Format5Blend, DecodeReportsTheFlagAndTheValueAsConfigured) {
  const std::vector<uint8_t> image = MakeTestImage(1, 1, kRed);
  UINT32 value = 3;
  UINT8 flag = 0xEE;
  ASSERT_EQ(Decode(image, &value, &flag), EFI_SUCCESS);
  EXPECT_EQ(flag, 0);
  EXPECT_EQ(value, 3u) << "left as given by default";
  Env().Pool().Free(pixels);
  pixels = nullptr;

  decoder.SetBlendFlag(true);
  decoder.SetBlendValueOut(0x55);
  ASSERT_EQ(Decode(image, &value, &flag), EFI_SUCCESS);
  EXPECT_EQ(flag, 1);
  EXPECT_EQ(value, 0x55u);
  ASSERT_EQ(decoder.DecodeCalls().size(), 2u);
  EXPECT_EQ(decoder.DecodeCalls()[1].BlendValueIn, 3u);
}

TEST_F(Format5Blend, DecodeRefusesMissingBlendOutputs) {
  const std::vector<uint8_t> image = MakeTestImage(1, 1, kRed);
  UINT32 value = 3;
  UINT8 flag = 0;
  EXPECT_EQ(Decode(image, nullptr, &flag), EFI_INVALID_PARAMETER);
  EXPECT_EQ(Decode(image, &value, nullptr), EFI_INVALID_PARAMETER);
  EXPECT_EQ(pixels, nullptr);
}

TEST_F(Format5Blend, BlendAveragesTheImageIntoTheBackground) {
  std::vector<EFI_GRAPHICS_OUTPUT_BLT_PIXEL> image = {{0xFF, 0x00, 0x10, 0}, {0x20, 0x40, 0x60, 0}};
  std::vector<EFI_GRAPHICS_OUTPUT_BLT_PIXEL> background = {{0x01, 0x00, 0x30, 0},
                                                           {0x20, 0x00, 0xFF, 0}};
  EXPECT_EQ(decoder.Protocol()->Blend(decoder.Protocol(), image.data(), 8, background.data(), 8, 3),
            EFI_SUCCESS);
  EXPECT_TRUE(SamePixel(background[0], {0x80, 0x00, 0x20, 0}));
  EXPECT_TRUE(SamePixel(background[1], {0x20, 0x20, 0xAF, 0}));
  EXPECT_TRUE(SamePixel(image[0], {0xFF, 0x00, 0x10, 0})) << "the image is not changed";
  ASSERT_EQ(decoder.BlendCalls().size(), 1u);
  EXPECT_EQ(decoder.BlendCalls()[0].Value, 3u);
  EXPECT_EQ(decoder.BlendCalls()[0].PixelsSize, 8u);
}

TEST_F(Format5Blend, BlendRefusesMismatchedBuffersAndLeavesTheBackground) {
  std::vector<EFI_GRAPHICS_OUTPUT_BLT_PIXEL> image(2, kRed), background(2, kGreen);
  FORMAT5_DECODER_PROTOCOL *p = decoder.Protocol();
  EXPECT_EQ(p->Blend(p, image.data(), 8, background.data(), 4, 3), EFI_INVALID_PARAMETER);
  EXPECT_EQ(p->Blend(p, image.data(), 6, background.data(), 6, 3), EFI_INVALID_PARAMETER);
  EXPECT_EQ(p->Blend(p, nullptr, 8, background.data(), 8, 3), EFI_INVALID_PARAMETER);
  decoder.FailNextBlend(EFI_DEVICE_ERROR);
  EXPECT_EQ(p->Blend(p, image.data(), 8, background.data(), 8, 3), EFI_DEVICE_ERROR);
  for (const auto &pixel : background) EXPECT_TRUE(SamePixel(pixel, kGreen));
}

TEST(JpegDecoder, FillsItsUnusedOutputOnSuccess) {
  UefiEnvironment env;
  JpegDecoderDouble decoder;
  std::vector<uint8_t> image = MakeTestImage(1, 1, kRed);
  AppendColMarker(image, 5, 6);
  VOID *pixels = nullptr;
  UINTN size = 0, height = 0, width = 0;
  UINT32 unused = 0;
  ASSERT_EQ(decoder.Protocol()->Decode(decoder.Protocol(), image.data(), image.size(), &pixels,
                                       &size, &height, &width, &unused),
            EFI_SUCCESS);
  EXPECT_EQ(unused, JpegDecoderDouble::kUnusedOutput);
  env.Pool().Free(pixels);
}

}  // namespace
}  // namespace sim
