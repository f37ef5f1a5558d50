// Board decoders and sources that break their side of the contract: sizes their buffers
// cannot hold, sizes whose byte count overflows, and images claimed without bytes. None of
// them may make the display read or draw past a buffer.
#include "platform_dxe/ModuleState.h"
#include "platform_dxe/PlatformServices.h"
#include "sim/uefi/logo/LogoGuids.h"
#include "tests/logo/display/LogoTest.h"

namespace logo_test {
namespace {

// A format 4 decoder that hands out a small pool buffer of one colour and reports whatever
// size the test sets.
struct MisreportingDecoder {
  FORMAT4_DECODER_PROTOCOL Protocol{Decode};
  static inline UINTN ReportedWidth = 0, ReportedHeight = 0, BufferBytes = 0;
  static EFI_STATUS EFIAPI Decode(FORMAT4_DECODER_PROTOCOL *, VOID *, UINTN, VOID **Pixels,
                                  UINTN *PixelsSize, UINTN *Height, UINTN *Width) {
    VOID *buffer = nullptr;
    if (EFI_ERROR(sim::UefiEnvironment::Current().Pool().Allocate(EfiBootServicesData,
                                                                  BufferBytes, &buffer)))
      return EFI_OUT_OF_RESOURCES;
    std::fill_n(static_cast<uint8_t *>(buffer), BufferBytes, 0xFF);
    *Pixels = buffer;
    *PixelsSize = BufferBytes;
    *Width = ReportedWidth;
    *Height = ReportedHeight;
    return EFI_SUCCESS;
  }
};

struct MisreportCase {
  const char *Name;
  UINTN Width, Height, BufferBytes;
  bool Drawn;
};

const MisreportCase kMisreportCases[] = {
    {"HonestSizes", 10, 10, 400, true},
    {"BufferLargerThanNeeded", 10, 10, 800, true},
    {"BufferOnePixelShort", 10, 10, 396, false},
    {"WidthTimesHeightOverflows", UINTN(1) << 62, 4, 64, false},
    {"RowBytesOverflow", UINTN(1) << 63, 1, 64, false},
};

class MisreportingDecoderTest : public LogoTest, public ::testing::WithParamInterface<MisreportCase> {};

TEST_P(MisreportingDecoderTest, DrawsOnlyWhatTheBufferHolds) {
  const MisreportCase &c = GetParam();
  MisreportingDecoder::ReportedWidth = c.Width;
  MisreportingDecoder::ReportedHeight = c.Height;
  MisreportingDecoder::BufferBytes = c.BufferBytes;
  AttachScreen({{800, 600}});
  InstallConsoleControl();
  InstallSource();
  MisreportingDecoder decoder;
  ASSERT_NE(Env().InstallProtocolOnNewHandle(sim::kFormat4DecoderProtocolGuid, &decoder.Protocol),
            nullptr);
  Source.AddImage(LOGO_IMAGE_TYPE_LOGO, LOGO_FORMAT_FORMAT4, LOGO_PLACE_LEFT_TOP, 0, 0, {1, 2, 3});
  Source.AddImage(LOGO_IMAGE_TYPE_LOGO, LOGO_FORMAT_BITMAP, LOGO_PLACE_LEFT_TOP, 100, 100,
                  MakeBitmap(4, 4, kGreen));
  const size_t before = LivePool();

  EXPECT_EQ(ShowBootLogo(0), EFI_NOT_FOUND);

  EXPECT_EQ(CountOnScreen(0xFFFFFFFF) != 0, c.Drawn);
  if (c.Drawn) {
    EXPECT_TRUE(Screen().RectIs(0, 0, 10, 10, Pixel(0xFFFFFFFF)));
  }
  EXPECT_TRUE(ImageAt(100, 100, 4, 4, kGreen));
  ExpectPoolClean(before);
}

INSTANTIATE_TEST_SUITE_P(Cases, MisreportingDecoderTest, ::testing::ValuesIn(kMisreportCases),
                         [](const auto &info) { return std::string(info.param.Name); });

TEST_F(LogoTest, HandOffRefusesABufferTooSmallForItsSize) {
  MisreportingDecoder::ReportedWidth = 10;
  MisreportingDecoder::ReportedHeight = 10;
  MisreportingDecoder::BufferBytes = 396;
  AttachScreen({{800, 600}});
  InstallConsoleControl();
  InstallSource();
  InstallBootLogo();
  MisreportingDecoder decoder;
  ASSERT_NE(Env().InstallProtocolOnNewHandle(sim::kFormat4DecoderProtocolGuid, &decoder.Protocol),
            nullptr);
  Source.AddImage(LOGO_IMAGE_TYPE_HAND_OFF, LOGO_FORMAT_FORMAT4, 0, 0, 0, {1, 2, 3});
  const size_t before = LivePool();
  EXPECT_EQ(HandOffBootLogo(BootLogo.Protocol()), EFI_UNSUPPORTED);
  EXPECT_TRUE(BootLogo.Calls().empty());
  ExpectPoolClean(before);
}

// A logo source that answers Success but hands over no bytes.
struct EmptyHandedSource {
  LOGO_SOURCE_PROTOCOL Protocol{GetImage, nullptr, nullptr, GetStringCount};
  static inline unsigned Calls = 0;
  static EFI_STATUS EFIAPI GetImage(LOGO_SOURCE_PROTOCOL *, UINT32 *Instance, UINT32 *Type,
                                    UINT32 *Format, VOID **Image, UINTN *Size, UINT32 *Attribute,
                                    UINTN *X, UINTN *Y) {
    if (++Calls > 4) return EFI_NOT_FOUND;
    *Image = nullptr;
    *Size = 64;
    *Format = (*Type == LOGO_IMAGE_TYPE_OVERLAY) ? LOGO_FORMAT_FORMAT4 : LOGO_FORMAT_JPEG;
    *Attribute = 0;
    *X = *Y = 0;
    ++*Instance;
    return EFI_SUCCESS;
  }
  static EFI_STATUS EFIAPI GetStringCount(LOGO_SOURCE_PROTOCOL *, UINTN *Count) {
    *Count = 0;
    return EFI_SUCCESS;
  }
};

TEST_F(LogoTest, ImageClaimedWithoutBytesIsNeverDecoded) {
  StandardConsole();
  EmptyHandedSource source;
  EmptyHandedSource::Calls = 0;
  ASSERT_NE(Env().InstallProtocolOnNewHandle(sim::kLogoSourceProtocolGuid, &source.Protocol),
            nullptr);
  const size_t before = LivePool();
  EXPECT_EQ(ShowBootLogo(0), EFI_NOT_FOUND);
  EXPECT_TRUE(Jpeg.DecodeCalls().empty());
  EXPECT_TRUE(Format4.DecodeCalls().empty());
  EXPECT_TRUE(Gop->BltCalls().empty());
  ExpectPoolClean(before);
}

}  // namespace
}  // namespace logo_test
