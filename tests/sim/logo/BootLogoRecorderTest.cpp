// The boot logo recorder keeps its own copy of the pixels handed to SetBootLogo.
#include <gtest/gtest.h>

#include "sim/uefi/logo/BootLogoRecorder.h"
#include "tests/support/UefiTest.h"

namespace sim {
namespace {

TEST(BootLogoRecorder, KeepsACopyThatOutlivesTheCallersBuffer) {
  BootLogoRecorder recorder;
  auto *pixels = new EFI_GRAPHICS_OUTPUT_BLT_PIXEL[6];
  for (int i = 0; i < 6; ++i) pixels[i] = {static_cast<UINT8>(i), 0, 0, 0};
  EFI_BOOT_LOGO_PROTOCOL *p = recorder.Protocol();
  EXPECT_EQ(p->SetBootLogo(p, pixels, 300, 179, 3, 2), EFI_SUCCESS);
  delete[] pixels;  // a read of the caller's buffer from here on is a sanitizer report

  ASSERT_EQ(recorder.Calls().size(), 1u);
  const BootLogoRecorder::Call &call = recorder.Calls()[0];
  EXPECT_EQ(call.X, 300u);
  EXPECT_EQ(call.Y, 179u);
  EXPECT_EQ(call.Width, 3u);
  EXPECT_EQ(call.Height, 2u);
  ASSERT_EQ(call.Pixels.size(), 6u);
  EXPECT_EQ(call.Pixels[5].Blue, 5);
}

TEST(BootLogoRecorder, ANullBufferWithdrawsTheLogoAndAbsurdSizesAreRefused) {
  BootLogoRecorder recorder;
  EFI_BOOT_LOGO_PROTOCOL *p = recorder.Protocol();
  EXPECT_EQ(p->SetBootLogo(p, nullptr, 0, 0, 0, 0), EFI_SUCCESS);
  EFI_GRAPHICS_OUTPUT_BLT_PIXEL pixel{};
  EXPECT_EQ(p->SetBootLogo(p, &pixel, 0, 0, ~UINTN{0}, 2), EFI_INVALID_PARAMETER);
  recorder.FailNextSetBootLogo(EFI_DEVICE_ERROR);
  EXPECT_EQ(p->SetBootLogo(p, &pixel, 0, 0, 1, 1), EFI_DEVICE_ERROR);
  ASSERT_EQ(recorder.Calls().size(), 3u);
  EXPECT_TRUE(recorder.Calls()[0].Pixels.empty());
  EXPECT_TRUE(recorder.Calls()[1].Pixels.empty());
  EXPECT_EQ(recorder.Calls()[2].Pixels.size(), 1u);
}

class BootLogoInstall : public UefiTest {};

TEST_F(BootLogoInstall, IsLocatable) {
  BootLogoRecorder recorder;
  recorder.Install(Env());
  EFI_GUID guid = EFI_BOOT_LOGO_PROTOCOL_GUID;
  VOID *found = nullptr;
  ASSERT_EQ(BootServices()->LocateProtocol(&guid, nullptr, &found), EFI_SUCCESS);
  EXPECT_EQ(found, recorder.Protocol());
}

}  // namespace
}  // namespace sim
