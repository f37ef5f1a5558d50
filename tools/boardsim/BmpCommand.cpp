// boardsim bmp: DecodeBitmap on the simulated UEFI environment, the pixels written as PNG.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "platform_dxe/ModuleState.h"
#include "platform_dxe/logo/BitmapDecoder.h"
#include "sim/uefi/UefiEnvironment.h"
#include "sim/uefi/display/PngWriter.h"
#include "tools/boardsim/Commands.h"

namespace boardsim {

namespace {

struct BmpOptions {
  std::string Input;
  std::string Output;
};

// The names firmware prints for the statuses DecodeBitmap returns.
const char *StatusName(EFI_STATUS Status) {
  switch (Status) {
    case EFI_SUCCESS: return "Success";
    case EFI_INVALID_PARAMETER: return "Invalid Parameter";
    case EFI_UNSUPPORTED: return "Unsupported";
    case EFI_BUFFER_TOO_SMALL: return "Buffer Too Small";
    case EFI_OUT_OF_RESOURCES: return "Out of Resources";
    default: return "Unknown status";
  }
}

int RunBmpCommand(const BmpOptions &Options) {
  std::ifstream In(Options.Input, std::ios::binary);
  if (!In) {
    std::fprintf(stderr, "boardsim bmp: cannot read %s\n", Options.Input.c_str());
    return 1;
  }
  std::vector<uint8_t> File((std::istreambuf_iterator<char>(In)), std::istreambuf_iterator<char>());

  // The driver reaches boot services through the tables its entry point stores.
  sim::UefiEnvironment Env;
  ResetPlatformDxeState();
  DxeModule.SystemTable = Env.SystemTable();
  DxeModule.BootServices = Env.BootServices();
  DxeModule.RuntimeServices = Env.RuntimeServices();

  EFI_GRAPHICS_OUTPUT_BLT_PIXEL *Pixels = nullptr;
  UINTN Size = 0, Height = 0, Width = 0;
  EFI_STATUS Status = DecodeBitmap(File.data(), File.size(), &Pixels, &Size, &Height, &Width);
  if (Status != EFI_SUCCESS) {
    std::printf("%s\n", StatusName(Status));
    return 1;
  }

  std::string Error;
  bool Written = sim::WriteBltPixelsAsPng(Options.Output, Pixels, Width, Height, Error);
  Env.BootServices()->FreePool(Pixels);
  if (!Env.Pool().Errors().empty() || Env.Pool().LiveCount() != 0) {
    std::fprintf(stderr, "boardsim bmp: pool misuse:\n%s%s", Env.Pool().DescribeErrors().c_str(),
                 Env.Pool().DescribeLive().c_str());
    return 1;
  }
  if (!Written) {
    std::fprintf(stderr, "boardsim bmp: %s\n", Error.c_str());
    return 1;
  }
  std::printf("Decoded %zu x %zu pixels to %s\n", (size_t)Width, (size_t)Height,
              Options.Output.c_str());
  return 0;
}

}  // namespace

void RegisterBmpCommand(CLI::App &App, int &ExitStatus) {
  auto Options = std::make_shared<BmpOptions>();
  CLI::App *Command = App.add_subcommand(
      "bmp",
      "Decode a bitmap file with DecodeBitmap on the simulated UEFI environment and write "
      "the pixels as PNG; on a refusal print the status name and exit 1.");
  Command->add_option("input", Options->Input, "the bitmap file")->required();
  Command->add_option("output", Options->Output, "the PNG file to write")->required();
  Command->callback([Options, &ExitStatus] { ExitStatus = RunBmpCommand(*Options); });
}

}  // namespace boardsim
