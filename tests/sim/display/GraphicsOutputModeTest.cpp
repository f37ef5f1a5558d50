// Modes of the simulated Graphics Output device: QueryMode hands out a pool record the caller
// frees, SetMode changes the size and clears the screen, bad mode numbers are refused.
#include <gtest/gtest.h>

#include "sim/uefi/display/GraphicsOutputDevice.h"
#include "tests/support/UefiTest.h"

namespace sim {
namespace {

class GraphicsOutputModes : public UefiTest {
 protected:
  GraphicsOutputDevice gop_{{{640, 480}, {800, 600}, {1024, 768}}, 1};
  EFI_GRAPHICS_OUTPUT_PROTOCOL *Gop() { return gop_.Protocol(); }
};

TEST_F(GraphicsOutputModes, StartsInTheGivenMode) {
  EXPECT_EQ(Gop()->Mode->MaxMode, 3u);
  EXPECT_EQ(Gop()->Mode->Mode, 1u);
  EXPECT_EQ(Gop()->Mode->Info->HorizontalResolution, 800u);
  EXPECT_EQ(Gop()->Mode->Info->VerticalResolution, 600u);
  EXPECT_EQ(Gop()->Mode->SizeOfInfo, sizeof(EFI_GRAPHICS_OUTPUT_MODE_INFORMATION));
  EXPECT_EQ(Gop()->Mode->Info->PixelFormat, PixelBltOnly);
  EXPECT_EQ(Gop()->Mode->FrameBufferBase, 0u);
  EXPECT_EQ(gop_.Width(), 800u);
  EXPECT_EQ(gop_.Height(), 600u);
}

TEST_F(GraphicsOutputModes, QueryModeHandsOutAPoolRecordTheCallerFrees) {
  UINTN size = 0;
  EFI_GRAPHICS_OUTPUT_MODE_INFORMATION *info = nullptr;
  ASSERT_EQ(Gop()->QueryMode(Gop(), 2, &size, &info), EFI_SUCCESS);
  ASSERT_NE(info, nullptr);
  EXPECT_EQ(size, sizeof(EFI_GRAPHICS_OUTPUT_MODE_INFORMATION));
  EXPECT_EQ(info->HorizontalResolution, 1024u);
  EXPECT_EQ(info->VerticalResolution, 768u);
  EXPECT_EQ(info->PixelsPerScanLine, 1024u);
  // The record is the caller's own copy: neither the current mode nor its record is touched.
  EXPECT_NE(info, Gop()->Mode->Info);
  EXPECT_EQ(Gop()->Mode->Mode, 1u);

  const PoolAllocation *record = Env().Pool().Find(info);
  ASSERT_NE(record, nullptr);
  EXPECT_EQ(record->size, sizeof(EFI_GRAPHICS_OUTPUT_MODE_INFORMATION));
  EXPECT_EQ(BootServices()->FreePool(info), EFI_SUCCESS);
  EXPECT_EQ(Env().Pool().LiveCount(), 0u);
  EXPECT_TRUE(Env().Pool().Errors().empty());
}

TEST_F(GraphicsOutputModes, QueryModeRefusalsAllocateNothing) {
  UINTN size = 0;
  EFI_GRAPHICS_OUTPUT_MODE_INFORMATION *info = nullptr;
  EXPECT_EQ(Gop()->QueryMode(Gop(), 3, &size, &info), EFI_INVALID_PARAMETER);
  EXPECT_EQ(Gop()->QueryMode(Gop(), 0xFFFFFFFFu, &size, &info), EFI_INVALID_PARAMETER);
  EXPECT_EQ(Gop()->QueryMode(Gop(), 0, nullptr, &info), EFI_INVALID_PARAMETER);
  EXPECT_EQ(Gop()->QueryMode(Gop(), 0, &size, nullptr), EFI_INVALID_PARAMETER);
  gop_.FailQueryModeFor(0);
  EXPECT_EQ(Gop()->QueryMode(Gop(), 0, &size, &info), EFI_DEVICE_ERROR);
  EXPECT_EQ(info, nullptr);
  Env().Pool().FailNthAllocation(1);
  EXPECT_EQ(Gop()->QueryMode(Gop(), 1, &size, &info), EFI_OUT_OF_RESOURCES);
  EXPECT_EQ(info, nullptr);
  EXPECT_EQ(Env().Pool().LiveCount(), 0u);
  EXPECT_EQ(gop_.QueryModeCalls(), (std::vector<uint32_t>{3, 0xFFFFFFFFu, 0, 0, 0, 1}));
}

TEST_F(GraphicsOutputModes, SetModeChangesTheSizeAndClears) {
  gop_.Screen().Fill(MakePixel(0x00FF0000));
  ASSERT_EQ(Gop()->SetMode(Gop(), 2), EFI_SUCCESS);
  EXPECT_EQ(Gop()->Mode->Mode, 2u);
  EXPECT_EQ(Gop()->Mode->Info->HorizontalResolution, 1024u);
  EXPECT_EQ(Gop()->Mode->Info->VerticalResolution, 768u);
  EXPECT_EQ(gop_.Screen().Width(), 1024u);
  EXPECT_EQ(gop_.Screen().Height(), 768u);
  EXPECT_TRUE(gop_.Screen().RectIs(0, 0, 1024, 768, MakePixel(0)));
}

TEST_F(GraphicsOutputModes, SettingTheCurrentModeAgainClears) {
  gop_.Screen().Set(5, 5, MakePixel(0x00FFFFFF));
  ASSERT_EQ(Gop()->SetMode(Gop(), 1), EFI_SUCCESS);
  EXPECT_EQ(PixelValue(gop_.Screen().At(5, 5)), 0u);
  EXPECT_EQ(gop_.SetModeCalls(), (std::vector<uint32_t>{1}));
}

TEST_F(GraphicsOutputModes, BadModeIsUnsupportedAndChangesNothing) {
  gop_.Screen().Set(5, 5, MakePixel(0x00FFFFFF));
  EXPECT_EQ(Gop()->SetMode(Gop(), 3), EFI_UNSUPPORTED);
  gop_.FailNextSetMode(EFI_DEVICE_ERROR);
  EXPECT_EQ(Gop()->SetMode(Gop(), 0), EFI_DEVICE_ERROR);
  EXPECT_EQ(Gop()->Mode->Mode, 1u);
  EXPECT_EQ(gop_.Width(), 800u);
  EXPECT_EQ(PixelValue(gop_.Screen().At(5, 5)), 0x00FFFFFFu);
  EXPECT_EQ(gop_.SetModeCalls(), (std::vector<uint32_t>{3, 0}));
  // The injected failure was for one call only.
  EXPECT_EQ(Gop()->SetMode(Gop(), 0), EFI_SUCCESS);
  EXPECT_EQ(gop_.Width(), 640u);
}

TEST_F(GraphicsOutputModes, BltAfterSetModeIsBoundedByTheNewSize) {
  ASSERT_EQ(Gop()->SetMode(Gop(), 0), EFI_SUCCESS);
  EFI_GRAPHICS_OUTPUT_BLT_PIXEL white = MakePixel(0x00FFFFFF);
  EXPECT_EQ(Gop()->Blt(Gop(), &white, EfiBltVideoFill, 0, 0, 0, 479, 640, 1, 0), EFI_SUCCESS);
  EXPECT_EQ(Gop()->Blt(Gop(), &white, EfiBltVideoFill, 0, 0, 0, 480, 640, 1, 0),
            EFI_INVALID_PARAMETER);
  EXPECT_TRUE(gop_.Screen().RectIs(0, 479, 640, 1, white));
}

TEST(GraphicsOutputWithoutModes, HasNothingToQueryOrSet) {
  UefiEnvironment env;
  GraphicsOutputDevice gop({});
  EFI_GRAPHICS_OUTPUT_PROTOCOL *protocol = gop.Protocol();
  UINTN size = 0;
  EFI_GRAPHICS_OUTPUT_MODE_INFORMATION *info = nullptr;
  EXPECT_EQ(protocol->Mode->MaxMode, 0u);
  EXPECT_EQ(protocol->QueryMode(protocol, 0, &size, &info), EFI_INVALID_PARAMETER);
  EXPECT_EQ(protocol->SetMode(protocol, 0), EFI_UNSUPPORTED);
  EFI_GRAPHICS_OUTPUT_BLT_PIXEL white = MakePixel(0x00FFFFFF);
  EXPECT_EQ(protocol->Blt(protocol, &white, EfiBltVideoFill, 0, 0, 0, 0, 1, 1, 0),
            EFI_INVALID_PARAMETER);
  EXPECT_EQ(env.Pool().LiveCount(), 0u);
}

}  // namespace
}  // namespace sim
