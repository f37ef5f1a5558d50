// Fixture for the boot logo tests: the module's tables pointed at a fresh simulated
// environment, a board whose low memory holds the legacy BIOS data area, and the simulated
// console devices and board logo services, each installed only when a test asks for it.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform_dxe/logo/LogoDisplay.h"
#include "sim/hw/RamRegion.h"
#include "sim/uefi/display/ConsoleControl.h"
#include "sim/uefi/display/Displays.h"
#include "sim/uefi/display/Framebuffer.h"
#include "sim/uefi/display/GraphicsOutputDevice.h"
#include "sim/uefi/display/HiiFont.h"
#include "sim/uefi/display/UgaDrawDevice.h"
#include "sim/uefi/logo/AnimatedDecoderDouble.h"
#include "sim/uefi/logo/BootLogoRecorder.h"
#include "sim/uefi/logo/FirmwareVolumeDouble.h"
#include "sim/uefi/logo/Format4DecoderDouble.h"
#include "sim/uefi/logo/Format5DecoderDouble.h"
#include "sim/uefi/logo/JpegDecoderDouble.h"
#include "sim/uefi/logo/ScriptedLogoSource.h"
#include "sim/uefi/logo/TestImage.h"
#include "tests/platform_dxe/DxeTest.h"

namespace logo_test {

// Colours as 0xRRGGBB, the way the board writes badge colours.
constexpr uint32_t kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF, kWhite = 0xFFFFFF;
constexpr uint32_t kYellow = 0xFFFF00, kCyan = 0x00FFFF, kGrey = 0x808080;

inline EFI_GRAPHICS_OUTPUT_BLT_PIXEL Pixel(uint32_t rgb) { return sim::MakePixel(rgb); }
inline const EFI_GRAPHICS_OUTPUT_BLT_PIXEL kBlack{0, 0, 0, 0};

// A 24-bit bitmap file of one colour whose two reserved header words (offsets 6 and 8) hold
// the location marker.
std::vector<uint8_t> MakeBitmap(uint32_t width, uint32_t height, uint32_t rgb,
                                uint16_t markerX = 0, uint16_t markerY = 0);
// A TIMG image (the decoder doubles' format) of one colour.
std::vector<uint8_t> MakeTimg(uint16_t width, uint16_t height, uint32_t rgb, uint16_t markerX = 0,
                              uint16_t markerY = 0);

class LogoTest : public dxe_test::DxeTest {
 protected:
  static constexpr uint64_t kBdaVideoMode = 0x449;
  static constexpr uint64_t kBdaSavedVideoMode = 0x4A3;

  void SetUp() override;

  // A Graphics Output device on the console handle, in mode `current` of `modes`.
  sim::GraphicsOutputDevice &AttachScreen(std::vector<sim::Resolution> modes, uint32_t current = 0);
  // A UGA Draw device on the console handle and no Graphics Output.
  sim::UgaDrawDevice &AttachUgaOnly(uint32_t width, uint32_t height, uint32_t depth = 32,
                                    uint32_t refresh = 60);
  void InstallConsoleControl();
  void InstallFont();
  void InstallSource() { Source.Install(Env()); }
  void InstallDecoders();
  void InstallBootLogo() { BootLogo.Install(Env()); }
  // A firmware volume holding the default logo file.
  void InstallDefaultLogo(std::vector<uint8_t> bytes);
  // The usual console: one screen of the given size, console control, the font, the
  // decoders.
  sim::GraphicsOutputDevice &StandardConsole(uint32_t width = 800, uint32_t height = 600);

  void SetBdaVideoBytes(uint8_t current, uint8_t saved);

  // The screen of the Graphics Output device, or of the UGA device when there is none.
  sim::Framebuffer &Screen();
  // Pixels of `rgb` in the rectangle.
  size_t Count(uint32_t x, uint32_t y, uint32_t w, uint32_t h, uint32_t rgb) {
    return Screen().CountInRect(x, y, w, h, Pixel(rgb));
  }
  // Pixels of `rgb` anywhere on the screen.
  size_t CountOnScreen(uint32_t rgb) {
    return Screen().CountInRect(0, 0, Screen().Width(), Screen().Height(), Pixel(rgb));
  }
  // TRUE when exactly the w x h rectangle at (x, y) holds `rgb` on the whole screen.
  bool ImageAt(uint32_t x, uint32_t y, uint32_t w, uint32_t h, uint32_t rgb) {
    return Screen().RectIs(x, y, w, h, Pixel(rgb)) && CountOnScreen(rgb) == size_t{w} * h;
  }

  // True when `cells` character cells of the font, in these colours, start at (x, y) and no
  // other pixel on the screen has the foreground colour.
  bool TextAt(uint32_t x, uint32_t y, size_t cells, uint32_t foreground, uint32_t background);

  // Pool blocks and errors, for leak checks around a call.
  size_t LivePool() { return Env().Pool().LiveCount(); }
  void ExpectPoolClean(size_t before) {
    EXPECT_EQ(Env().Pool().LiveCount(), before) << Env().Pool().DescribeLive();
    EXPECT_TRUE(Env().Pool().Errors().empty()) << Env().Pool().DescribeErrors();
  }
  // After a call made with Pool().FailNthAllocation(n): true when the call never reached its
  // nth allocation, so the failure is still waiting (it is used up here).
  bool InjectedFailureUnused(unsigned n);
  // Handles carrying the text-console-restored protocol.
  size_t RestoredSignals();

  std::unique_ptr<sim::GraphicsOutputDevice> Gop;
  std::unique_ptr<sim::UgaDrawDevice> Uga;
  sim::ConsoleControl Console;
  sim::HiiFont Font;
  sim::ScriptedLogoSource Source;
  sim::JpegDecoderDouble Jpeg;
  sim::Format4DecoderDouble Format4;
  sim::Format5DecoderDouble Format5;
  sim::AnimatedDecoderDouble Animated;
  sim::BootLogoRecorder BootLogo;
  sim::FirmwareVolumeDouble Volume;
  sim::RamRegion *LowMemory = nullptr;
};

}  // namespace logo_test
