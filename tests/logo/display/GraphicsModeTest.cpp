// Graphics mode selection: which mode SetMode is given (if any) for a request, the legacy
// video mode bytes, and whether the other displays agree with the console.
#include <optional>

#include "platform_dxe/PlatformServices.h"
#include "sim/uefi/Service.h"
#include "tests/logo/display/LogoTest.h"

namespace logo_test {
namespace {

struct OtherDisplay {
  sim::Resolution Size;
  bool WithDevicePath;
};

struct ModeCase {
  const char *Name;
  std::vector<sim::Resolution> Modes;
  uint32_t Current;
  sim::Resolution Request;
  bool BdaBytesDiffer;
  std::vector<OtherDisplay> Displays;
  std::vector<uint32_t> FailingQueries;
  std::vector<uint32_t> ExpectedSetModes;
};

const std::vector<sim::Resolution> kThreeModes = {{640, 480}, {800, 600}, {1024, 768}};

const ModeCase kModeCases[] = {
    {"CurrentModeFitsAndAllAgree", kThreeModes, 2, {1024, 768}, false, {{{1024, 768}, true}}, {}, {}},
    {"VideoModeBytesDifferReprogramCurrent", kThreeModes, 2, {1024, 768}, true, {}, {}, {2}},
    {"DisplayAtOtherSizeSearchesFromModeZero",
     {{1024, 768}, {800, 600}, {1024, 768}}, 2, {1024, 768}, false, {{{800, 600}, true}}, {}, {0}},
    {"DisplayAtOtherSizeSetsCurrentAgain", kThreeModes, 2, {1024, 768}, false,
     {{{800, 600}, true}}, {}, {2}},
    {"DisplayWithoutDevicePathIgnored", kThreeModes, 2, {1024, 768}, false,
     {{{800, 600}, false}}, {}, {}},
    {"MissingSizeFallsBackTo800x600", kThreeModes, 0, {1280, 1024}, false, {}, {}, {1}},
    {"LowerNumberedOfTwoMatchesWins", {{640, 480}, {1024, 768}, {800, 600}, {1024, 768}}, 0,
     {1024, 768}, false, {}, {}, {1}},
    {"NoMatchAndNo800x600SetsNothing", {{640, 480}, {1024, 768}}, 0, {1280, 1024}, false, {}, {}, {}},
    {"NoModesSetsNothing", {}, 0, {1024, 768}, false, {}, {}, {}},
    {"FailingQueryCountsAsNoMatch", {{800, 600}, {1024, 768}, {1024, 768}}, 0, {1024, 768}, false,
     {}, {1}, {2}},
    {"FailingQueryOfCurrentModeSearches", {{1024, 768}, {1024, 768}}, 0, {1024, 768}, false, {},
     {0}, {1}},
};

class SelectGraphicsModeTest : public LogoTest, public ::testing::WithParamInterface<ModeCase> {};

TEST_P(SelectGraphicsModeTest, SetsTheExpectedModes) {
  const ModeCase &c = GetParam();
  sim::GraphicsOutputDevice &console = AttachScreen(c.Modes, c.Current);
  std::vector<std::unique_ptr<sim::GraphicsOutputDevice>> others;
  for (const OtherDisplay &display : c.Displays) {
    others.push_back(std::make_unique<sim::GraphicsOutputDevice>(
        std::vector<sim::Resolution>{display.Size}));
    sim::InstallDisplay(Env(), *others.back(), display.WithDevicePath);
  }
  for (uint32_t mode : c.FailingQueries) console.FailQueryModeFor(mode);
  SetBdaVideoBytes(0x03, c.BdaBytesDiffer ? 0x12 : 0x03);
  const size_t before = LivePool();

  EXPECT_EQ(SetGraphicsResolution(console.Protocol(), c.Request.Width, c.Request.Height),
            EFI_SUCCESS);

  EXPECT_EQ(console.SetModeCalls(), c.ExpectedSetModes);
  // Every mode record QueryMode handed over went back to pool.
  ExpectPoolClean(before);
}

INSTANTIATE_TEST_SUITE_P(Cases, SelectGraphicsModeTest, ::testing::ValuesIn(kModeCases),
                         [](const auto &info) { return std::string(info.param.Name); });

TEST_F(LogoTest, SetGraphicsResolutionReturnsTheSetModeStatus) {
  sim::GraphicsOutputDevice &console = AttachScreen(kThreeModes, 0);
  console.FailNextSetMode(EFI_DEVICE_ERROR);
  EXPECT_EQ(SetGraphicsResolution(console.Protocol(), 1024, 768), EFI_DEVICE_ERROR);
  EXPECT_EQ(SetGraphicsResolution(console.Protocol(), 1024, 768), EFI_SUCCESS);
  EXPECT_EQ(console.Width(), 1024u);
  EXPECT_EQ(console.Height(), 768u);
}

TEST_F(LogoTest, SetGraphicsResolutionRefusesANullInstance) {
  EXPECT_EQ(SetGraphicsResolution(nullptr, 800, 600), EFI_INVALID_PARAMETER);
}

struct MatchCase {
  const char *Name;
  bool ConsoleHasGop;
  std::vector<OtherDisplay> Displays;
  bool FailLocateHandleBuffer;
  bool Expected;
};

const MatchCase kMatchCases[] = {
    {"NoGraphicsOutputOnConsole", false, {{{640, 480}, true}}, false, true},
    {"ConsoleAlone", true, {}, false, true},
    {"DisplayAtSameSize", true, {{{800, 600}, true}}, false, true},
    {"DisplayAtOtherSize", true, {{{1024, 768}, true}}, false, false},
    {"DisplayWithoutDevicePathAtOtherSize", true, {{{1024, 768}, false}}, false, true},
    {"OneOfTwoDisplaysDiffers", true, {{{1024, 768}, true}, {{800, 600}, true}}, false, false},
    {"HandleBufferUnavailable", true, {{{1024, 768}, true}}, true, true},
};

class AllDisplaysMatchConsoleTest : public LogoTest,
                                    public ::testing::WithParamInterface<MatchCase> {};

TEST_P(AllDisplaysMatchConsoleTest, Answers) {
  const MatchCase &c = GetParam();
  if (c.ConsoleHasGop) AttachScreen({{800, 600}});
  std::vector<std::unique_ptr<sim::GraphicsOutputDevice>> others;
  for (const OtherDisplay &display : c.Displays) {
    others.push_back(std::make_unique<sim::GraphicsOutputDevice>(
        std::vector<sim::Resolution>{display.Size}));
    sim::InstallDisplay(Env(), *others.back(), display.WithDevicePath);
  }
  if (c.FailLocateHandleBuffer)
    Env().Failures().FailNextCall(sim::Service::LocateHandleBuffer, EFI_OUT_OF_RESOURCES);
  const size_t before = LivePool();

  EXPECT_EQ(AllDisplaysMatchConsole() != FALSE, c.Expected);
  ExpectPoolClean(before);
}

INSTANTIATE_TEST_SUITE_P(Cases, AllDisplaysMatchConsoleTest, ::testing::ValuesIn(kMatchCases),
                         [](const auto &info) { return std::string(info.param.Name); });

}  // namespace
}  // namespace logo_test
