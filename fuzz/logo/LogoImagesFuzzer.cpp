// libFuzzer target for the image loop of ShowBootLogo. Each input scripts a logo source
// (LogoScript.h): images of every type and format code, placements, coordinates, badge
// strings, and how the board decoders behave. The images are served through the scripted
// logo source with all four decoder doubles installed, on a fresh simulated UEFI environment
// with a 64 x 48 Graphics Output console (a 32 x 24 mode too), console control and an HII
// font. ShowBootLogo runs once; when it registered the ready-to-boot erase, the group is
// signalled as well.
//
// Afterwards every pool block the driver was handed or allocated must be freed (the
// environment keeps none of its own), no pool block freed twice or unknown, no UEFI usage
// rule broken, every animated decoder context released once, and no draw made with a dead
// context. The Graphics Output device refuses any rectangle off its screen, so nothing can be
// drawn outside it; AddressSanitizer watches every image buffer, which is an exact-size pool
// block.
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>

#include "fuzz/logo/LogoScript.h"
#include "platform_dxe/ModuleState.h"
#include "platform_dxe/PlatformServices.h"
#include "sim/uefi/UefiEnvironment.h"
#include "sim/uefi/WellKnownGuids.h"
#include "sim/uefi/display/ConsoleControl.h"
#include "sim/uefi/display/Displays.h"
#include "sim/uefi/display/GraphicsOutputDevice.h"
#include "sim/uefi/display/HiiFont.h"
#include "sim/uefi/logo/AnimatedDecoderDouble.h"
#include "sim/uefi/logo/BootLogoRecorder.h"
#include "sim/uefi/logo/Format4DecoderDouble.h"
#include "sim/uefi/logo/Format5DecoderDouble.h"
#include "sim/uefi/logo/JpegDecoderDouble.h"
#include "sim/uefi/logo/ScriptedLogoSource.h"

namespace {

const EFI_GUID kConsoleControlGuid = EFI_CONSOLE_CONTROL_PROTOCOL_GUID;
const EFI_GUID kHiiFontGuid = EFI_HII_FONT_PROTOCOL_GUID;

[[noreturn]] void Fail(const std::string &what) {
  std::fprintf(stderr, "logo images fuzzer: %s\n", what.c_str());
  std::abort();
}

void AddBadgeStrings(sim::ScriptedLogoSource &source, unsigned count) {
  if (count >= 1)
    source.AddString(u"F2 Setup", LOGO_BADGE_CENTRED, LOGO_BADGE_CENTRED, 0x00FFFFFF, 0);
  if (count >= 2) source.AddString(u"v1", 2, 40, 0x0000FF00, 0x00000010);
  if (count >= 3) source.AddMissingString();
}

struct Board {
  sim::GraphicsOutputDevice screen{{{64, 48}, {32, 24}}};
  sim::ConsoleControl console{EfiConsoleControlScreenText};
  sim::HiiFont font;
  sim::ScriptedLogoSource source;
  sim::JpegDecoderDouble jpeg;
  sim::Format4DecoderDouble format4;
  sim::Format5DecoderDouble format5;
  sim::AnimatedDecoderDouble animated;
  sim::BootLogoRecorder bootLogo;

  void Install(sim::UefiEnvironment &env, const logo_fuzz::LogoScript &script) {
    sim::AttachToConsole(env, &screen, nullptr);
    env.InstallProtocolOnNewHandle(kConsoleControlGuid, console.Protocol());
    env.InstallProtocolOnNewHandle(kHiiFontGuid, font.Protocol());
    source.Install(env);
    jpeg.Install(env);
    format4.Install(env);
    format5.Install(env);
    animated.Install(env);
    if (script.BootLogoProtocol) bootLogo.Install(env);

    for (const logo_fuzz::ScriptedImage &image : script.Images) {
      source.AddImage(image.Type, image.Format, image.Placement, image.X, image.Y, image.Bytes);
    }
    AddBadgeStrings(source, script.BadgeStrings);
    if (script.UseImageResolution) {
      source.SetUseImageResolution([](uint32_t, uint32_t) { return true; });
    }
    format5.SetBlendFlag(script.Blend);
    // An animation must end: after a few steps, or when the console turns to text.
    animated.SetStepsBeforeEnd(script.AnimationSteps);
    if (script.TextAfterGetModes) console.SwitchToTextAfterGetModeCalls(script.GetModesBeforeText);
    jpeg.SucceedWithoutPixels(script.DecodersGiveNoPixels);
    format4.SucceedWithoutPixels(script.DecodersGiveNoPixels);
    format5.SucceedWithoutPixels(script.DecodersGiveNoPixels);
    animated.SucceedWithoutPixels(script.DecodersGiveNoPixels);
    if (script.FirstDecodeFails) {
      jpeg.FailNextDecode(EFI_DEVICE_ERROR);
      format4.FailNextDecode(EFI_VOLUME_CORRUPTED);
      format5.FailNextDecode(EFI_OUT_OF_RESOURCES);
      animated.FailNextDecode(EFI_UNSUPPORTED);
    }
  }
};

void CheckAfterwards(sim::UefiEnvironment &env, const std::set<const void *> &before,
                     const Board &board) {
  if (!env.Pool().Errors().empty()) Fail("pool misuse:\n" + env.Pool().DescribeErrors());
  for (const std::string &error : env.UsageErrors()) Fail("UEFI usage error: " + error);
  for (const sim::PoolAllocation &block : env.Pool().Live()) {
    if (before.count(block.address) == 0) Fail("pool leak:\n" + env.Pool().DescribeLive());
  }
  if (board.animated.LiveContexts() != 0) Fail("an animated decoder context was not released");
  for (const std::string &error : board.animated.ReleaseErrors()) Fail(error);
  for (const std::string &error : board.animated.ContextErrors()) Fail(error);
  if (env.CurrentTpl() != TPL_APPLICATION) Fail("the TPL was left raised");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  const logo_fuzz::LogoScript script = logo_fuzz::ReadLogoScript(data, size);

  sim::UefiEnvironment env;
  ResetPlatformDxeState();
  DxeModule.SystemTable = env.SystemTable();
  DxeModule.BootServices = env.BootServices();
  DxeModule.RuntimeServices = env.RuntimeServices();
  Board board;
  board.Install(env, script);

  std::set<const void *> before;
  for (const sim::PoolAllocation &block : env.Pool().Live()) before.insert(block.address);

  ShowBootLogo(0);
  // The hand-off registers the erase of its badge strings for ready-to-boot.
  env.SignalEventGroup(sim::kEventGroupReadyToBoot);

  CheckAfterwards(env, before, board);
  return 0;
}
