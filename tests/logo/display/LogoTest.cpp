#include "tests/logo/display/LogoTest.h"

#include "include/BoardLogoProtocols.h"
#include "platform_dxe/ModuleState.h"
#include "sim/uefi/logo/LogoGuids.h"

namespace logo_test {

namespace {

const EFI_GUID kConsoleControlGuid = EFI_CONSOLE_CONTROL_PROTOCOL_GUID;
const EFI_GUID kHiiFontGuid = EFI_HII_FONT_PROTOCOL_GUID;
const EFI_GUID kTextConsoleRestoredGuid = TEXT_CONSOLE_RESTORED_PROTOCOL_GUID;

void PutU16(std::vector<uint8_t> &bytes, size_t offset, uint32_t value) {
  bytes[offset] = uint8_t(value);
  bytes[offset + 1] = uint8_t(value >> 8);
}

void PutU32(std::vector<uint8_t> &bytes, size_t offset, uint32_t value) {
  PutU16(bytes, offset, value & 0xFFFF);
  PutU16(bytes, offset + 2, value >> 16);
}

}  // namespace

std::vector<uint8_t> MakeBitmap(uint32_t width, uint32_t height, uint32_t rgb, uint16_t markerX,
                                uint16_t markerY) {
  const uint32_t rowBytes = (width * 3 + 3) & ~3u;
  const uint32_t dataOffset = 14 + 40;
  std::vector<uint8_t> bytes(dataOffset + size_t{rowBytes} * height, 0);
  bytes[0] = 'B';
  bytes[1] = 'M';
  PutU32(bytes, 2, uint32_t(bytes.size()));
  PutU16(bytes, 6, markerX);
  PutU16(bytes, 8, markerY);
  PutU32(bytes, 10, dataOffset);
  PutU32(bytes, 14, 40);
  PutU32(bytes, 18, width);
  PutU32(bytes, 22, height);
  PutU16(bytes, 26, 1);   // planes
  PutU16(bytes, 28, 24);  // bits per pixel
  PutU32(bytes, 34, uint32_t(size_t{rowBytes} * height));
  for (uint32_t row = 0; row < height; ++row) {
    for (uint32_t column = 0; column < width; ++column) {
      const size_t at = dataOffset + size_t{row} * rowBytes + column * 3;
      bytes[at] = uint8_t(rgb);
      bytes[at + 1] = uint8_t(rgb >> 8);
      bytes[at + 2] = uint8_t(rgb >> 16);
    }
  }
  return bytes;
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
