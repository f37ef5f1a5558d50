// boardsim logo: ShowBootLogo on a simulated console, with a board logo source built from the
// command line, the screen written as PNG and what was drawn where printed.
#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "include/BoardLogoProtocols.h"
#include "platform_dxe/ModuleState.h"
#include "platform_dxe/PlatformServices.h"
#include "sim/uefi/UefiEnvironment.h"
#include "sim/uefi/WellKnownGuids.h"
#include "sim/uefi/display/ConsoleControl.h"
#include "sim/uefi/display/Displays.h"
#include "sim/uefi/display/GraphicsOutputDevice.h"
#include "sim/uefi/display/HiiFont.h"
#include "sim/uefi/logo/BootLogoRecorder.h"
#include "sim/uefi/logo/ScriptedLogoSource.h"
#include "tools/boardsim/Commands.h"
#include "tools/boardsim/DrawLog.h"

namespace boardsim {

namespace {

constexpr uint32_t kLargestScreenSide = 8192;
constexpr uint32_t kBadgeForeground = 0x00FFFFFF;  // white
constexpr uint32_t kBadgeBackground = 0x00000000;  // black

struct LogoImage {
  std::string File;
  uint32_t Type = LOGO_IMAGE_TYPE_LOGO;
  uint32_t Placement = LOGO_PLACE_CENTRE;
  UINTN X = 0, Y = 0;
};

struct LogoOptions {
  std::string Screen;
  std::vector<std::string> Logos;
  std::vector<std::string> Badges;
  std::string HandOff;
  bool ReadyToBoot = false;
  std::string Output;
};

// ---- Reading the command line ----

std::vector<std::string> Split(const std::string &Text, char Separator) {
  std::vector<std::string> Parts(1);
  for (char C : Text) {
    if (C == Separator)
      Parts.emplace_back();
    else
      Parts.back() += C;
  }
  return Parts;
}

// Decimal digits only (no sign, no spaces), at most Largest.
bool ParseNumber(const std::string &Text, uint64_t Largest, uint64_t &Value) {
  if (Text.empty() || Text.size() > 20) return false;
  Value = 0;
  for (char C : Text) {
    if (C < '0' || C > '9') return false;
    uint64_t Digit = (uint64_t)(C - '0');
    if (Digit > Largest || Value > (Largest - Digit) / 10) return false;
    Value = Value * 10 + Digit;
  }
  return true;
}

bool ParseScreen(const std::string &Text, uint32_t &Width, uint32_t &Height) {
  std::vector<std::string> Parts = Split(Text, 'x');
  uint64_t W, H;
  if (Parts.size() != 2 || !ParseNumber(Parts[0], kLargestScreenSide, W) ||
      !ParseNumber(Parts[1], kLargestScreenSide, H) || W == 0 || H == 0)
    return false;
  Width = (uint32_t)W;
  Height = (uint32_t)H;
  return true;
}

std::string Readable(const std::string &Path) {
  std::ifstream In(Path, std::ios::binary);
  if (In) return std::string();
  return "cannot read '" + Path + "': " + std::strerror(errno);
}

// FILE[:TYPE[:PLACEMENT[:X,Y]]]; an empty answer means the text is sound.
std::string ParseLogo(const std::string &Text, LogoImage &Image) {
  std::vector<std::string> Parts = Split(Text, ':');
  if (Parts.size() > 4 || Parts[0].empty())
    return "'" + Text + "' is not FILE[:TYPE[:PLACEMENT[:X,Y]]]";
  Image.File = Parts[0];
  uint64_t Value;
  if (Parts.size() > 1) {
    if (!ParseNumber(Parts[1], 1, Value))
      return "'" + Parts[1] + "' is not an image type; accepted: 0 (logo) or 1 (overlay)";
    Image.Type = (uint32_t)Value;
  }
  if (Parts.size() > 2) {
    if (!ParseNumber(Parts[2], UINT32_MAX, Value))
      return "'" + Parts[2] + "' is not a placement code; accepted: 0 to 4294967295 (above 8 as 0)";
    Image.Placement = (uint32_t)Value;
  }
  if (Parts.size() > 3) {
    std::vector<std::string> Position = Split(Parts[3], ',');
    uint64_t X, Y;
    if (Position.size() != 2 || !ParseNumber(Position[0], UINT32_MAX, X) ||
        !ParseNumber(Position[1], UINT32_MAX, Y))
      return "'" + Parts[3] + "' is not a position; accepted: X,Y (whole numbers from 0)";
    Image.X = (UINTN)X;
    Image.Y = (UINTN)Y;
  }
  return Readable(Image.File);
}

// UTF-8 to UCS-2; characters beyond 16 bits and broken sequences become '?'.
std::u16string Ucs2(const std::string &Text) {
  std::u16string Out;
  for (size_t I = 0; I < Text.size();) {
    unsigned char Lead = (unsigned char)Text[I];
    size_t Length = Lead < 0x80 ? 1 : (Lead >> 5) == 6 ? 2 : (Lead >> 4) == 14 ? 3 : 0;
    uint32_t Code = Length == 1 ? Lead : Length == 2 ? (Lead & 0x1F) : (Lead & 0x0F);
    bool Sound = Length != 0 && I + Length <= Text.size();
    for (size_t K = 1; Sound && K < Length; ++K) {
      unsigned char Next = (unsigned char)Text[I + K];
      Sound = (Next & 0xC0) == 0x80;
      Code = Code << 6 | (Next & 0x3F);
    }
    Out += Sound ? (char16_t)Code : u'?';
    I += Sound ? Length : 1;
  }
  return Out;
}

std::string Narrow(const std::u16string &Text) {
  std::string Out;
  for (char16_t C : Text) Out += C < 0x80 ? (char)C : '?';
  return Out;
}

bool ReadWhole(const std::string &Path, std::vector<uint8_t> &Bytes) {
  std::ifstream In(Path, std::ios::binary);
  if (!In) return false;
  Bytes.assign(std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>());
  return !In.bad();
}

// OUT.png -> OUT-ready-to-boot.png; any other name gets the suffix appended.
std::string ReadyToBootName(const std::string &Output) {
  const std::string Png = ".png";
  if (Output.size() > Png.size() &&
      Output.compare(Output.size() - Png.size(), Png.size(), Png) == 0)
    return Output.substr(0, Output.size() - Png.size()) + "-ready-to-boot.png";
  return Output + "-ready-to-boot.png";
}

// ---- Running ----

const char *StatusName(EFI_STATUS Status) {
  switch (Status) {
    case EFI_SUCCESS:
      return "Success";
    case EFI_INVALID_PARAMETER:
      return "Invalid Parameter";
    case EFI_UNSUPPORTED:
      return "Unsupported";
    case EFI_BUFFER_TOO_SMALL:
      return "Buffer Too Small";
    case EFI_NOT_READY:
      return "Not Ready";
    case EFI_DEVICE_ERROR:
      return "Device Error";
    case EFI_OUT_OF_RESOURCES:
      return "Out of Resources";
    case EFI_VOLUME_CORRUPTED:
      return "Volume Corrupted";
    case EFI_NOT_FOUND:
      return "Not Found";
    case EFI_ABORTED:
      return "Aborted";
    default:
      return nullptr;
  }
}

std::string StatusText(EFI_STATUS Status) {
  if (const char *Name = StatusName(Status)) return Name;
  char Text[40];
  std::snprintf(Text, sizeof Text, "status 0x%" PRIX64, (uint64_t)Status);
  return Text;
}

int Fail(const std::string &Reason) {
  std::fprintf(stderr, "boardsim logo: %s\n", Reason.c_str());
  return 1;
}

void PrintDrawn(const std::vector<DrawEntry> &Entries) {
  for (const DrawEntry &E : Entries) {
    std::string Outcome = E.Status == EFI_SUCCESS ? "" : " refused: " + StatusText(E.Status);
    if (E.What == DrawEntry::Kind::Text) {
      std::printf("Text \"%s\" at (%zu, %zu)%s\n", Narrow(E.Text).c_str(), (size_t)E.X, (size_t)E.Y,
                  Outcome.c_str());
      continue;
    }
    const char *What = E.Op == EfiBltBufferToVideo      ? "Image"
                       : E.Op == EfiBltVideoFill        ? "Fill"
                       : E.Op == EfiBltVideoToBltBuffer ? "Read from the screen"
                                                        : "Screen copy";
    std::printf("%s %zu x %zu at (%zu, %zu)%s\n", What, (size_t)E.Width, (size_t)E.Height,
                (size_t)E.X, (size_t)E.Y, Outcome.c_str());
  }
}

int RunLogoCommand(const LogoOptions &Options) {
  uint32_t Width = 0, Height = 0;
  ParseScreen(Options.Screen, Width, Height);  // checked when the line was read

  sim::UefiEnvironment Env;
  ResetPlatformDxeState();
  DxeModule.SystemTable = Env.SystemTable();
  DxeModule.BootServices = Env.BootServices();
  DxeModule.RuntimeServices = Env.RuntimeServices();

  // The console: Graphics Output in one mode of the screen's size, console control, font.
  sim::GraphicsOutputDevice Screen({{Width, Height}});
  sim::ConsoleControl Console(EfiConsoleControlScreenText);
  sim::HiiFont Font;
  sim::AttachToConsole(Env, &Screen, nullptr);
  const EFI_GUID ConsoleControlGuid = EFI_CONSOLE_CONTROL_PROTOCOL_GUID;
  const EFI_GUID HiiFontGuid = EFI_HII_FONT_PROTOCOL_GUID;
  Env.InstallProtocolOnNewHandle(ConsoleControlGuid, Console.Protocol());
  Env.InstallProtocolOnNewHandle(HiiFontGuid, Font.Protocol());

  // The board's logo source: the bitmap files, then the badge strings.
  sim::ScriptedLogoSource Source;
  for (const std::string &Text : Options.Logos) {
    LogoImage Image;
    ParseLogo(Text, Image);
    std::vector<uint8_t> Bytes;
    if (!ReadWhole(Image.File, Bytes)) return Fail("cannot read " + Image.File);
    Source.AddImage(Image.Type, LOGO_FORMAT_BITMAP, Image.Placement, Image.X, Image.Y,
                    std::move(Bytes));
  }
  for (const std::string &Badge : Options.Badges)
    Source.AddString(Ucs2(Badge), LOGO_BADGE_CENTRED, LOGO_BADGE_CENTRED, kBadgeForeground,
                     kBadgeBackground);
  Source.Install(Env);

  sim::BootLogoRecorder BootLogo;
  if (!Options.HandOff.empty()) {
    std::vector<uint8_t> Bytes;
    if (!ReadWhole(Options.HandOff, Bytes)) return Fail("cannot read " + Options.HandOff);
    Source.AddImage(LOGO_IMAGE_TYPE_HAND_OFF, LOGO_FORMAT_BITMAP, 0, 0, 0, std::move(Bytes));
    BootLogo.Install(Env);
  }

  std::printf("Screen %u x %u\n", Width, Height);
  std::string Error;
  {
    DrawLog Log(Screen, Font);
    EFI_STATUS Status = ShowBootLogo(0);
    PrintDrawn(Log.Entries());
    for (const sim::BootLogoRecorder::Call &Call : BootLogo.Calls())
      std::printf("Handed to the boot logo protocol: %zu x %zu at (%zu, %zu)\n", (size_t)Call.Width,
                  (size_t)Call.Height, (size_t)Call.X, (size_t)Call.Y);
    std::printf("ShowBootLogo: %s\n", StatusText(Status).c_str());
    if (!Screen.Screen().SavePng(Options.Output, &Error)) return Fail(Error);
    std::printf("Wrote %s\n", Options.Output.c_str());

    if (Options.ReadyToBoot) {
      Log.Clear();
      Env.SignalEventGroup(sim::kEventGroupReadyToBoot);
      std::printf("At ready-to-boot:\n");
      if (Log.Entries().empty()) std::printf("Nothing drawn\n");
      for (const DrawEntry &E : Log.Entries()) {
        if (E.What == DrawEntry::Kind::Blt && E.Op == EfiBltVideoFill && E.Status == EFI_SUCCESS)
          std::printf("Erased rows %zu to %zu, full width\n", (size_t)E.Y,
                      (size_t)(E.Y + E.Height - 1));
        else
          PrintDrawn({E});
      }
      const std::string Second = ReadyToBootName(Options.Output);
      if (!Screen.Screen().SavePng(Second, &Error)) return Fail(Error);
      std::printf("Wrote %s\n", Second.c_str());
    }
  }

  if (!Env.Pool().Errors().empty() || Env.Pool().LiveCount() != 0)
    return Fail("pool misuse:\n" + Env.Pool().DescribeErrors() + Env.Pool().DescribeLive());
  return 0;
}

}  // namespace

void RegisterLogoCommand(CLI::App &App, int &ExitStatus) {
  auto Options = std::make_shared<LogoOptions>();
  CLI::App *Command = App.add_subcommand(
      "logo",
      "Run ShowBootLogo on a simulated screen with a board logo source made of the given bitmap "
      "files and badge strings, write the screen as PNG and print what was drawn where. With a "
      "logo source, ShowBootLogo ends with Not Found once its overlay images are exhausted.");
  CLI::Validator ScreenSize(
      [](std::string &Value) -> std::string {
        uint32_t W, H;
        if (ParseScreen(Value, W, H)) return std::string();
        return "'" + Value + "' is not a screen size; accepted: WIDTHxHEIGHT, each 1 to " +
               std::to_string(kLargestScreenSide);
      },
      "");
  CLI::Validator LogoSpec(
      [](std::string &Value) -> std::string {
        LogoImage Image;
        return ParseLogo(Value, Image);
      },
      "");
  CLI::Validator ReadableFile([](std::string &Value) { return Readable(Value); }, "");
  Command->add_option("--screen", Options->Screen, "the screen size, e.g. 1024x768")
      ->required()
      ->type_name("WxH")
      ->check(ScreenSize);
  Command
      ->add_option(
          "--logo", Options->Logos,
          "a bitmap image of the logo source: TYPE 0 logo (default) or 1 overlay, "
          "PLACEMENT 0 to 8 (default 8, centre; higher codes place as 0), X,Y its coordinates "
          "(default 0,0); "
          "repeat for more images, served in this order")
      ->type_name("FILE[:TYPE[:PLACEMENT[:X,Y]]]")
      ->check(LogoSpec)
      ->take_all();
  Command
      ->add_option("--badge", Options->Badges,
                   "a badge string of the logo source, centred under the logo, white on black; "
                   "repeat for more lines")
      ->type_name("TEXT")
      ->take_all();
  Command
      ->add_option("--handoff", Options->HandOff,
                   "offer the boot logo protocol and make FILE (a bitmap) the hand-off image")
      ->type_name("FILE")
      ->check(ReadableFile);
  Command->add_flag("--ready-to-boot", Options->ReadyToBoot,
                    "then signal ready-to-boot, print what was erased and write the screen "
                    "again as OUT-ready-to-boot.png");
  Command->add_option("--output", Options->Output, "the PNG file to write")
      ->required()
      ->type_name("OUT.png");
  Command->callback([Options, &ExitStatus] { ExitStatus = RunLogoCommand(*Options); });
}

}  // namespace boardsim
