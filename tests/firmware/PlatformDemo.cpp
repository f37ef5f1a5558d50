// PlatformDemo: loads ExampleBoardDxe and PlatformServicesDxe the way FirmwareCheck does, shows
// the board's boot logo through the driver (the runner takes a screenshot of it, see
// DemoLogo.cpp), brings the text console back, then shows on the firmware console what the
// platform services look like to a client inside firmware. Every line of the report says what
// was asked, what came back, and what a correct answer is, marked "ok" or "BAD"; the verdict
// sent to QEMU is "every line ok".
// The firmware mirrors its console on the serial port, where tools/demo picks the report up.
#include "Console.h"
#include "DemoLogo.h"
#include "ExpectedServices.h"
#include "QemuExit.h"
#include "RtcClock.h"
#include "SiblingImage.h"
#include "example_board/ExampleBoard.h"
#include "include/PlatformServicesProtocol.h"

namespace {

const EFI_GUID kServicesGuid = PLATFORM_SERVICES_PROTOCOL_GUID;
const EFI_GUID kBoardGuid = BOARD_SUPPORT_PROTOCOL_GUID;
const EFI_GUID kSharedDataGuid = SHARED_DATA_PROTOCOL_GUID;
const UINTN kScreenColumns = 100;                // OVMF's text console at 800 x 600
#define CLIENT_IMAGE_FILE u"ClientExample.efi"

EFI_SYSTEM_TABLE *gSystemTable;
UINTN gGoodLines;
UINTN gBadLines;

void Show(const TextLine &Line) { console::WriteLine(gSystemTable, Line); }

// One result: "ok " or "BAD", what the driver answered, then what a correct answer is, on the
// same line when it fits the screen.
void Result(bool Ok, const TextLine &What, const char *Good) {
  Ok ? ++gGoodLines : ++gBadLines;
  TextLine Line;
  Line.Add(Ok ? "ok  " : "BAD ").Add(What.Text());
  UINTN GoodLength = 0;
  while (Good[GoodLength] != '\0') ++GoodLength;
  if (Line.Length() + GoodLength + 9 <= kScreenColumns) {
    Show(Line.Add("  (good: ").Add(Good).Add(')'));
    return;
  }
  Show(Line);
  Show(TextLine().Add("      good: ").Add(Good));
}

void ShowInterface(const PLATFORM_SERVICES_PROTOCOL &Services,
                   const SHARED_DATA_PROTOCOL *BoardShared) {
  TextLine Signature;
  for (UINTN Byte = 0; Byte < 4; ++Byte)
    Signature.Add(static_cast<char>(Services.Signature >> (8 * Byte)));
  Result(Services.Signature == PLATFORM_SERVICES_SIGNATURE &&
             Services.HeaderValue == PLATFORM_SERVICES_HEADER_VALUE,
         TextLine()
             .Add("Interface header: signature \"")
             .Add(Signature.Text())
             .Add("\", header value ")
             .Hex(Services.HeaderValue),
         "\"$OFC\", 0x4000");

  const PLATFORM_SERVICES_INFO &Info = *Services.ServicesInfo;
  Result(Info.InfoValueA == PLATFORM_SERVICES_INFO_VALUE_A &&
             Info.InfoValueB == PLATFORM_SERVICES_INFO_VALUE_B,
         TextLine()
             .Add("Info record constants for clients: InfoValueA ")
             .Dec(Info.InfoValueA)
             .Add(", InfoValueB ")
             .Dec(Info.InfoValueB),
         "900, 178");
  // The board installs its shared data after the driver has started; the driver's
  // notification then publishes the board's base and the item at base + 530.
  const UINT64 Base = BoardShared != nullptr ? BoardShared->SharedBase : 0;
  Result(Base != 0 && Info.SharedBase == Base &&
             Info.SharedItemAddress == Base + expected::kSharedItemOffset,
         TextLine()
             .Add("Info record shared data: SharedBase ")
             .Hex(Info.SharedBase)
             .Add(", SharedItemAddress ")
             .Hex(Info.SharedItemAddress),
         "the board's base (it came after the driver), base + 530");

  static const UINT16 kOffsets[PLATFORM_SERVICES_OFFSET_TABLE_ENTRIES] = {
      110, 111, 117, 220, 127, 128, 129, 149, 121, 51, 530, 599};
  const UINT16 *Table = reinterpret_cast<const UINT16 *>(Info.OffsetTable);
  TextLine Offsets;
  Offsets.Add("Offset table published for clients:");
  bool Same = Table != nullptr;
  for (UINTN Index = 0; Table != nullptr && Index < PLATFORM_SERVICES_OFFSET_TABLE_ENTRIES;
       ++Index) {
    Offsets.Add(' ').Dec(Table[Index]);
    Same = Same && Table[Index] == kOffsets[Index];
  }
  Result(Same, Offsets, "110 111 117 220 127 128 129 149 121 51 530 599");
}

UINTN SecondsOfDay(UINTN Hours, UINTN Minutes, UINTN Seconds) {
  return (Hours * 60 + Minutes) * 60 + Seconds;
}

void ShowClock(const PLATFORM_SERVICES_PROTOCOL &Services) {
  UINT8 StatusB = Services.CmosRead8(rtc::kStatusB);
  rtc::ClockTime Cmos =
      rtc::Decode(StatusB, Services.CmosRead8(rtc::kHours), Services.CmosRead8(rtc::kMinutes),
                  Services.CmosRead8(rtc::kSeconds));
  EFI_TIME Now = {};
  EFI_STATUS Status = gSystemTable->RuntimeServices->GetTime(&Now, nullptr);
  TextLine Line;
  Line.Add("Clock read with CmosRead8 ")
      .Dec(Cmos.Hours, 2)
      .Add(':')
      .Dec(Cmos.Minutes, 2)
      .Add(':')
      .Dec(Cmos.Seconds, 2)
      .Add(rtc::IsBinary(StatusB) ? " (binary" : " (BCD")
      .Add(rtc::Is24Hour(StatusB) ? ", 24h)" : ", 12h)");
  if (EFI_ERROR(Status)) {
    Result(false, Line.Add(", firmware GetTime failed ").Hex(Status), "the same time");
    return;
  }
  Line.Add(", firmware GetTime ")
      .Dec(Now.Hour, 2)
      .Add(':')
      .Dec(Now.Minute, 2)
      .Add(':')
      .Dec(Now.Second, 2);
  // The two readings are a moment apart: allow a second boundary between them.
  UINTN Driver = SecondsOfDay(Cmos.Hours, Cmos.Minutes, Cmos.Seconds);
  UINTN Firmware = SecondsOfDay(Now.Hour, Now.Minute, Now.Second);
  bool Close = (Driver > Firmware ? Driver - Firmware : Firmware - Driver) <= 1;
  Result(Close, Line, "the same time");
}

void ShowDiskChannelMap(const PLATFORM_SERVICES_PROTOCOL &Services) {
  DISK_CHANNEL_ENTRY *Table = nullptr;
  UINTN Count = 0;
  EFI_STATUS Status = Services.GetDiskChannelMap(&Table, &Count);
  if (EFI_ERROR(Status) || Table == nullptr) {
    Result(false, TextLine().Add("Disk channel map: GetDiskChannelMap failed ").Hex(Status),
           "status 0x0 and 10 entries");
    return;
  }
  Result(Count == 10,
         TextLine()
             .Add("Disk channel map: ")
             .Dec(Count)
             .Add(" entries, each bus:dev.fn channel/drive -> drive index"),
         "10");
  TextLine Line;
  for (UINTN Index = 0; Index < Count; ++Index) {
    const DISK_CHANNEL_ENTRY &Entry = Table[Index];
    UINTN Column = (Index % 4) * 19;
    Line.Pad(6 + Column)
        .Dec(Entry.PciBus)
        .Add(':')
        .Dec(Entry.PciDevice)
        .Add('.')
        .Dec(Entry.PciFunction)
        .Add(' ')
        .Dec(Entry.Channel)
        .Add('/')
        .Dec(Entry.Drive)
        .Add(" -> ")
        .Dec(Entry.DriveIndex);
    if (Index % 4 == 3 || Index + 1 == Count) {
      Show(Line);
      Line = TextLine();
    }
  }
}

void ShowPciExpress(const PLATFORM_SERVICES_PROTOCOL &Services) {
  UINT64 Address = Services.GetPciExpressAddress(0, 0, 31, 0, 0xDC);
  Result(Address == 0xF00F80DCull,
         TextLine().Add("PCI Express address of 0:31.0 register 0xDC: ").Hex(Address),
         "0xF00F80DC");
  Address = Services.GetPciExpressAddress(0, 1, 0, 0, 0);
  Result(Address == 0xF0100000ull,
         TextLine().Add("PCI Express address of 1:0.0 register 0x0: ").Hex(Address),
         "0xF0100000");
}

void ShowTimeStampCounter(const PLATFORM_SERVICES_PROTOCOL &Services) {
  UINT64 Before = Services.ReadTimeStampCounter();
  gSystemTable->BootServices->Stall(1000);
  UINT64 After = Services.ReadTimeStampCounter();
  TextLine Line;
  Line.Add("Time-stamp counter over a 1 ms stall: +").Dec(After - Before).Add(" ticks");
  Result(After > Before, Line, "more than 0");
}

void ShowPlatformCall(const PLATFORM_SERVICES_PROTOCOL &Services, EXAMPLE_BOARD_INSTANCE *Board) {
  // PlatformCall hands its three arguments to the board. The example board has no service
  // behind it and answers with the status it was given as the first argument, so asking for
  // Aborted and getting Aborted back shows the call went through unchanged.
  const UINT32 kSecond = 0x11223344u;
  const UINT64 kThird = 0x5566778899AABBCCull;
  EFI_STATUS Status = Services.PlatformCall(EFI_ABORTED, kSecond, kThird);
  Show(TextLine().Add("PlatformCall passes 3 arguments to the board; the example board answers"));
  Show(TextLine().Add("    with the 1st as its status. Asked for Aborted (0x8000000000000015):"));
  bool Ok = Status == EFI_ABORTED && Board != nullptr &&
            Board->LastPlatformCallSecond == kSecond && Board->LastPlatformCallThird == kThird;
  TextLine Line;
  Line.Add("  returned ").Hex(Status);
  if (Board != nullptr) {
    Line.Add(", board saw ")
        .Hex(Board->LastPlatformCallSecond)
        .Add(", ")
        .Hex(Board->LastPlatformCallThird);
  }
  Result(Ok, Line, "the same status; 0x11223344, 0x5566778899AABBCC");
}

void ShowBoardTextConsole(EXAMPLE_BOARD_INSTANCE *Board) {
  VOID *Record = nullptr;
  BOARD_GET_TEXT_RESOLUTION GetTextResolution = reinterpret_cast<BOARD_GET_TEXT_RESOLUTION>(
      Board->Board.Operations->Entry[BOARD_SUPPORT_ENTRY_TEXT_RESOLUTION]);
  EFI_STATUS Status = GetTextResolution(&Board->Board, BOARD_TEXT_RESOLUTION_FUNCTION, &Record);
  if (EFI_ERROR(Status) || Record == nullptr) {
    Result(false, TextLine().Add("Board text console record: failed ").Hex(Status),
           "1024 x 768");
    return;
  }
  const BOARD_TEXT_RESOLUTION_RECORD *Resolution =
      static_cast<const BOARD_TEXT_RESOLUTION_RECORD *>(Record);
  Result(Resolution->Width == EXAMPLE_BOARD_TEXT_WIDTH &&
             Resolution->Height == EXAMPLE_BOARD_TEXT_HEIGHT,
         TextLine()
             .Add("Board's text console size, for RestoreTextConsole: ")
             .Dec(Resolution->Width)
             .Add(" x ")
             .Dec(Resolution->Height),
         "1024 x 768");
}

// The C client (examples/client) finds the protocol by itself and prints its own lines.
void RunClientExample(EFI_HANDLE ImageHandle) {
  Show(TextLine().Add("--- examples/client, a plain C client, finds the protocol by itself: ---"));
  StartedImage Client = LoadAndStartSiblingImage(ImageHandle, gSystemTable, CLIENT_IMAGE_FILE);
  Result(!EFI_ERROR(Client.LoadStatus) && Client.StartStatus == EFI_SUCCESS,
         TextLine()
             .Add("C client load/exit status ")
             .Hex(Client.LoadStatus)
             .Add('/')
             .Hex(Client.StartStatus),
         "0x0/0x0");
}

void ShowLogo(const DemoLogoFindings &Logo) {
  Result(Logo.ShowStatus == EFI_SUCCESS && Logo.LogoOnScreen,
         TextLine()
             .Add("ShowBootLogo (slot 1): ")
             .Hex(Logo.ShowStatus)
             .Add("; the ")
             .Dec(Logo.LogoWidth)
             .Add(" x ")
             .Dec(Logo.LogoHeight)
             .Add(" logo ")
             .Add(Logo.LogoOnScreen ? "is" : "is NOT")
             .Add(" at (")
             .Dec(Logo.LogoX)
             .Add(", ")
             .Dec(Logo.LogoY)
             .Add(") on ")
             .Dec(Logo.ScreenWidth)
             .Add(" x ")
             .Dec(Logo.ScreenHeight),
         "0x0, at ((W - w) / 2, H * 382 / 1000 - h / 2), every pixel");
  Result(Logo.ScreenshotTaken && Logo.BadgeCount == EXAMPLE_BADGE_COUNT,
         TextLine()
             .Add("Badge strings from the board under the logo: ")
             .Dec(Logo.BadgeCount)
             .Add("; screenshot ")
             .Add(Logo.ScreenshotTaken ? "taken (build/demo/screen.png)" : "NOT taken"),
         "3, taken");
  TextLine Bgrt;
  Bgrt.Add("After ready-to-boot, the firmware's ACPI BGRT ");
  if (!Logo.BgrtFound) {
    Bgrt.Add("was not found");
  } else {
    Bgrt.Add("holds ")
        .Add(Logo.BgrtImageIsLogo ? "the logo" : "ANOTHER image")
        .Add(" at (")
        .Dec(Logo.Bgrt.OffsetX)
        .Add(", ")
        .Dec(Logo.Bgrt.OffsetY)
        .Add(")");
  }
  Result(Logo.BgrtFound && Logo.BgrtImageIsLogo && Logo.Bgrt.OffsetX == Logo.LogoX &&
             Logo.Bgrt.OffsetY == Logo.LogoY,
         Bgrt, "the logo, where it was drawn");
  Result(Logo.RestoreStatus == EFI_SUCCESS && Logo.TextWidth == EXAMPLE_BOARD_TEXT_WIDTH &&
             Logo.TextHeight == EXAMPLE_BOARD_TEXT_HEIGHT &&
             Logo.ConsoleMode == EfiConsoleControlScreenText && Logo.RestoredHandles == 1,
         TextLine()
             .Add("RestoreTextConsole (slot 2): ")
             .Hex(Logo.RestoreStatus)
             .Add(": ")
             .Dec(Logo.TextWidth)
             .Add(" x ")
             .Dec(Logo.TextHeight)
             .Add(Logo.ConsoleMode == EfiConsoleControlScreenText ? ", text" : ", NOT text")
             .Add(", announced ")
             .Dec(Logo.RestoredHandles)
             .Add(" time(s)"),
         "0x0: 1024 x 768, text, 1");
}

// The board installs its shared data 100 ms after the driver started; wait for it (bounded).
SHARED_DATA_PROTOCOL *WaitForBoardSharedData() {
  SHARED_DATA_PROTOCOL *Shared = nullptr;
  for (UINTN Waited = 0; Waited < 200; ++Waited) {
    if (!EFI_ERROR(gSystemTable->BootServices->LocateProtocol(
            &kSharedDataGuid, nullptr, reinterpret_cast<VOID **>(&Shared)))) {
      return Shared;
    }
    gSystemTable->BootServices->Stall(10000);
  }
  return nullptr;
}

// Every slot the report calls; an empty one would crash the demo instead of reporting.
bool ServicesUsable(const PLATFORM_SERVICES_PROTOCOL *Services) {
  return Services != nullptr && Services->ServicesInfo != nullptr &&
         Services->CmosRead8 != nullptr && Services->GetDiskChannelMap != nullptr &&
         Services->GetPciExpressAddress != nullptr && Services->PlatformCall != nullptr &&
         Services->ReadTimeStampCounter != nullptr && Services->ShowBootLogo != nullptr &&
         Services->RestoreTextConsole != nullptr;
}

[[noreturn]] void Finish(bool Passed, const TextLine &Verdict) {
  Show(TextLine().Add("PlatformDemo: ").Add(Verdict.Text()));
  QemuExit(Passed);
}

void ShowTitle() {
  console::Clear(gSystemTable);
  Show(TextLine().Add(
      "=== Platform services report: PlatformServicesDxe + ExampleBoardDxe in OVMF ==="));
  Show(TextLine().Add("Each line: ok or BAD, what the driver answered, (good: a correct answer)."));
}

}  // namespace

extern "C" EFI_STATUS EFIAPI PlatformDemoEntry(EFI_HANDLE ImageHandle,
                                               EFI_SYSTEM_TABLE *SystemTable) {
  gSystemTable = SystemTable;
  EFI_BOOT_SERVICES *BootServices = SystemTable->BootServices;
  BootServices->SetWatchdogTimer(0, 0, 0, nullptr);

  StartedImage Board = LoadAndStartSiblingImage(ImageHandle, SystemTable, BOARD_IMAGE_FILE);
  StartedImage Driver = LoadAndStartSiblingImage(ImageHandle, SystemTable, DRIVER_IMAGE_FILE);
  PLATFORM_SERVICES_PROTOCOL *Services = nullptr;
  EXAMPLE_BOARD_INSTANCE *BoardInstance = nullptr;
  BootServices->LocateProtocol(&kBoardGuid, nullptr, reinterpret_cast<VOID **>(&BoardInstance));
  if (EFI_ERROR(Board.LoadStatus) || EFI_ERROR(Board.StartStatus) || EFI_ERROR(Driver.LoadStatus) ||
      EFI_ERROR(Driver.StartStatus) || BoardInstance == nullptr ||
      EFI_ERROR(BootServices->HandleProtocol(Driver.Handle, &kServicesGuid,
                                             reinterpret_cast<VOID **>(&Services))) ||
      !ServicesUsable(Services)) {
    ShowTitle();
    Result(false,
           TextLine()
               .Add("Board load/start ")
               .Hex(Board.LoadStatus)
               .Add('/')
               .Hex(Board.StartStatus)
               .Add(", driver load/start ")
               .Hex(Driver.LoadStatus)
               .Add('/')
               .Hex(Driver.StartStatus),
           "0x0/0x0, 0x0/0x0");
    Finish(false, TextLine().Add("FAILED: the platform services are not available"));
  }
  SHARED_DATA_PROTOCOL *BoardShared = WaitForBoardSharedData();
  // The logo owns the screen until RestoreTextConsole; the report comes after it.
  static DemoLogoFindings Logo;
  RunDemoLogo(SystemTable, Services, &Logo);

  ShowTitle();
  Result(true,
         TextLine()
             .Add("Board and driver started; the protocol is on the driver's handle ")
             .Hex(reinterpret_cast<UINT64>(Driver.Handle)),
         "found");
  ShowLogo(Logo);
  ShowInterface(*Services, BoardShared);
  ShowClock(*Services);
  ShowDiskChannelMap(*Services);
  ShowPciExpress(*Services);
  ShowTimeStampCounter(*Services);
  ShowPlatformCall(*Services, BoardInstance);
  ShowBoardTextConsole(BoardInstance);
  Show(TextLine().Add("Not called here: slots 3 (graphics mode; ctest ovmf_logo_check_handoff"));
  Show(TextLine().Add("    calls it) and 15 (flash part detection; see README.md)."));
  RunClientExample(ImageHandle);

  TextLine Verdict;
  Verdict.Add("report complete, ").Dec(gGoodLines).Add(" lines ok, ").Dec(gBadLines).Add(" BAD");
  Finish(gBadLines == 0, Verdict);
}
