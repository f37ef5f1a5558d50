#include "tests/logo/display/LogoTest.h"

#include "include/BoardLogoProtocols.h"
#include "platform_dxe/ModuleState.h"
#include "sim/uefi/logo/BitmapFile.h"
#include "sim/uefi/logo/LogoGuids.h"

namespace logo_test {

namespace {

const EFI_GUID kConsoleControlGuid = EFI_CONSOLE_CONTROL_PROTOCOL_GUID;
const EFI_GUID kHiiFontGuid = EFI_HII_FONT_PROTOCOL_GUID;
const EFI_GUID kTextConsoleRestoredGuid = TEXT_CONSOLE_RESTORED_PROTOCOL_GUID;

}  // namespace

std::vector<uint8_t> MakeBitmap(uint32_t width, uint32_t height, uint32_t rgb, uint16_t markerX,
                                uint16_t markerY) {
  return sim::MakeBitmapFile(
      width, height, [rgb](uint32_t, uint32_t) { return rgb; }, markerX, markerY);
}

std::vector<uint8_t> MakeTimg(uint16_t width, uint16_t height, uint32_t rgb, uint16_t markerX,
                              uint16_t markerY) {
  return sim::MakeTestImage(width, height, Pixel(rgb), markerX, markerY);
}

void LogoTest::SetUp() {
  DxeTest::SetUp();
  DxeModule.SystemTable = SystemTable();
  DxeModule.BootServices = BootServices();
  DxeModule.RuntimeServices = RuntimeServices();
  // Low memory with the legacy BIOS data area; the two video mode bytes agree.
  LowMemory = &Board.MapRam(0, 0x1000);
  SetBdaVideoBytes(0x03, 0x03);
}

sim::GraphicsOutputDevice &LogoTest::AttachScreen(std::vector<sim::Resolution> modes,
                                                  uint32_t current) {
  Gop = std::make_unique<sim::GraphicsOutputDevice>(std::move(modes), current);
  sim::AttachToConsole(Env(), Gop.get(), nullptr);
  return *Gop;
}

sim::UgaDrawDevice &LogoTest::AttachUgaOnly(uint32_t width, uint32_t height, uint32_t depth,
                                            uint32_t refresh) {
  Uga = std::make_unique<sim::UgaDrawDevice>(width, height, depth, refresh);
  sim::AttachToConsole(Env(), nullptr, Uga.get());
  return *Uga;
}

void LogoTest::InstallConsoleControl() {
  ASSERT_NE(Env().InstallProtocolOnNewHandle(kConsoleControlGuid, Console.Protocol()), nullptr);
}

void LogoTest::InstallFont() {
  ASSERT_NE(Env().InstallProtocolOnNewHandle(kHiiFontGuid, Font.Protocol()), nullptr);
}

void LogoTest::InstallDecoders() {
  Jpeg.Install(Env());
  Format4.Install(Env());
  Format5.Install(Env());
  Animated.Install(Env());
}

void LogoTest::InstallDefaultLogo(std::vector<uint8_t> bytes) {
  Volume.AddRawSection(sim::kDefaultLogoFileGuid, std::move(bytes));
  Volume.Install(Env());
}

sim::GraphicsOutputDevice &LogoTest::StandardConsole(uint32_t width, uint32_t height) {
  sim::GraphicsOutputDevice &device = AttachScreen({{width, height}});
  InstallConsoleControl();
  InstallFont();
  InstallDecoders();
  return device;
}

void LogoTest::SetBdaVideoBytes(uint8_t current, uint8_t saved) {
  LowMemory->Store8(kBdaVideoMode, current);
  LowMemory->Store8(kBdaSavedVideoMode, saved);
}

sim::Framebuffer &LogoTest::Screen() { return Gop != nullptr ? Gop->Screen() : Uga->Screen(); }

bool LogoTest::TextAt(uint32_t x, uint32_t y, size_t cells, uint32_t foreground,
                      uint32_t background) {
  size_t glyphPixels = 0;
  for (unsigned row = 0; row < sim::HiiFont::kGlyphHeight; ++row) {
    for (unsigned column = 0; column < sim::HiiFont::kGlyphWidth; ++column) {
      if (sim::HiiFont::IsForegroundPixel(column, row)) ++glyphPixels;
    }
  }
  const size_t cellPixels = sim::HiiFont::kGlyphWidth * sim::HiiFont::kGlyphHeight;
  const uint32_t width = uint32_t(cells * sim::HiiFont::kGlyphWidth);
  const uint32_t height = sim::HiiFont::kGlyphHeight;
  if (x + width > Screen().Width() || y + height > Screen().Height()) return false;
  return Count(x, y, width, height, foreground) == cells * glyphPixels &&
         Count(x, y, width, height, background) == cells * (cellPixels - glyphPixels) &&
         CountOnScreen(foreground) == cells * glyphPixels;
}

bool LogoTest::InjectedFailureUnused(unsigned n) {
  bool unused = false;
  std::vector<void *> probes;
  for (unsigned i = 0; i < n && !unused; ++i) {
    void *probe = nullptr;
    if (EFI_ERROR(Env().Pool().Allocate(EfiBootServicesData, 1, &probe))) {
      unused = true;
    } else {
      probes.push_back(probe);
    }
  }
  for (void *probe : probes) Env().Pool().Free(probe);
  return unused;
}

size_t LogoTest::RestoredSignals() {
  size_t count = 0;
  for (void *interface : Env().InterfacesOf(kTextConsoleRestoredGuid)) {
    EXPECT_EQ(interface, nullptr);
    ++count;
  }
  return count;
}

}  // namespace logo_test
