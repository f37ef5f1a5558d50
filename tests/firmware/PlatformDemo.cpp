// PlatformDemo: loads ExampleBoardDxe and PlatformServicesDxe the way FirmwareCheck does and
// shows, on the firmware console, what the board services look like from inside firmware.
// The firmware mirrors its console on the serial port, where tools/demo picks the report up.
// The report stays on screen for a few seconds so the runner can take a screenshot.
#include "Console.h"
#include "QemuExit.h"
#include "RtcClock.h"
#include "SiblingImage.h"
#include "example_board/ExampleBoard.h"
#include "include/PlatformServicesProtocol.h"

namespace {

const EFI_GUID kServicesGuid = PLATFORM_SERVICES_PROTOCOL_GUID;
const EFI_GUID kBoardGuid = BOARD_SUPPORT_PROTOCOL_GUID;
const UINTN kScreenHoldMicroseconds = 3000000;  // long enough for a screenshot

EFI_SYSTEM_TABLE *gSystemTable;

void Show(const TextLine &Line) { console::WriteLine(gSystemTable, Line); }

void ShowInformation(const PLATFORM_SERVICES_PROTOCOL &Services) {
  const PLATFORM_SERVICES_INFO &Info = *Services.ServicesInfo;
  TextLine Header;
  Header.Add("Interface: signature \"");
  for (UINTN Byte = 0; Byte < 4; ++Byte)
    Header.Add(static_cast<char>(Services.Signature >> (8 * Byte)));
  Show(Header.Add("\"  header ")
           .Hex(Services.HeaderValue)
           .Add("  at ")
           .Hex(reinterpret_cast<UINT64>(&Services)));
  Show(TextLine()
           .Add("Info record: A ")
           .Dec(Info.InfoValueA)
           .Add("  B ")
           .Dec(Info.InfoValueB)
           .Add("  SharedBase ")
           .Hex(Info.SharedBase)
           .Add("  SharedItem ")
           .Hex(Info.SharedItemAddress));
  TextLine Offsets;
  Offsets.Add("Offset table:");
  const UINT16 *Table = reinterpret_cast<const UINT16 *>(Info.OffsetTable);
  for (UINTN Index = 0; Table != nullptr && Index < 12; ++Index) Offsets.Add(' ').Dec(Table[Index]);
  Show(Offsets);
}

void ShowClock(const PLATFORM_SERVICES_PROTOCOL &Services) {
  UINT8 StatusB = Services.CmosRead8(rtc::kStatusB);
  rtc::ClockTime Cmos =
      rtc::Decode(StatusB, Services.CmosRead8(rtc::kHours), Services.CmosRead8(rtc::kMinutes),
                  Services.CmosRead8(rtc::kSeconds));
  EFI_TIME Now = {};
  EFI_STATUS Status = gSystemTable->RuntimeServices->GetTime(&Now, nullptr);
  TextLine Line;
  Line.Add("Clock: CmosRead8 ")
      .Dec(Cmos.Hours, 2)
      .Add(':')
      .Dec(Cmos.Minutes, 2)
      .Add(':')
      .Dec(Cmos.Seconds, 2)
      .Add(rtc::IsBinary(StatusB) ? " (binary" : " (BCD")
      .Add(rtc::Is24Hour(StatusB) ? ", 24h)" : ", 12h)");
  if (EFI_ERROR(Status)) {
    Line.Add("  GetTime failed ").Hex(Status);
  } else {
    Line.Add("  GetTime ")
        .Dec(Now.Hour, 2)
        .Add(':')
        .Dec(Now.Minute, 2)
        .Add(':')
        .Dec(Now.Second, 2)
        .Add(' ')
        .Dec(Now.Year, 4)
        .Add('-')
        .Dec(Now.Month, 2)
        .Add('-')
        .Dec(Now.Day, 2);
  }
  Show(Line);
}

void ShowDiskChannelMap(const PLATFORM_SERVICES_PROTOCOL &Services) {
  DISK_CHANNEL_ENTRY *Table = nullptr;
  UINTN Count = 0;
  EFI_STATUS Status = Services.GetDiskChannelMap(&Table, &Count);
  if (EFI_ERROR(Status) || Table == nullptr) {
    Show(TextLine().Add("Disk channel map: failed ").Hex(Status));
    return;
  }
  Show(TextLine()
           .Add("Disk channel map: ")
           .Dec(Count)
           .Add(" entries (bus:dev.fn channel/drive -> index)"));
  TextLine Line;
  for (UINTN Index = 0; Index < Count; ++Index) {
    const DISK_CHANNEL_ENTRY &Entry = Table[Index];
    UINTN Column = (Index % 4) * 19;
    Line.Pad(2 + Column)
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
  struct Example {
    UINT64 Bus, Device, Function, Register;
  };
  const Example Examples[] = {{0, 31, 0, 0xDC}, {1, 0, 0, 0}, {0, 22, 2, 0x10}};
  TextLine Line;
  Line.Add("PCI Express:");
  for (const Example &Case : Examples) {
    UINT64 Address =
        Services.GetPciExpressAddress(0, Case.Bus, Case.Device, Case.Function, Case.Register);
    Line.Add("  ")
        .Dec(Case.Bus)
        .Add(':')
        .Dec(Case.Device)
        .Add('.')
        .Dec(Case.Function)
        .Add('+')
        .Hex(Case.Register)
        .Add(" = ")
        .Hex(Address);
  }
  Show(Line);
}

void ShowProcessorAndBoard(const PLATFORM_SERVICES_PROTOCOL &Services,
                           EXAMPLE_BOARD_INSTANCE *Board) {
  UINT64 Before = Services.ReadTimeStampCounter();
  gSystemTable->BootServices->Stall(1000);
  UINT64 After = Services.ReadTimeStampCounter();
  Show(TextLine()
           .Add("Time-stamp counter: ")
           .Hex(Before)
           .Add(" then +")
           .Dec(After - Before)
           .Add(" over 1 ms"));

  EFI_STATUS Status = Services.PlatformCall(EFI_ABORTED, 0x11223344u, 0x5566778899AABBCCull);
  TextLine Call;
  Call.Add("PlatformCall(EFI_ABORTED, ...) = ").Hex(Status);
  if (Board != nullptr) {
    Call.Add("  board saw ")
        .Hex(Board->LastPlatformCallSecond)
        .Add(", ")
        .Hex(Board->LastPlatformCallThird);
  }
  Show(Call);

  if (Board == nullptr) return;
  VOID *Record = nullptr;
  BOARD_GET_TEXT_RESOLUTION GetTextResolution = reinterpret_cast<BOARD_GET_TEXT_RESOLUTION>(
      Board->Board.Operations->Entry[BOARD_SUPPORT_ENTRY_TEXT_RESOLUTION]);
  if (!EFI_ERROR(GetTextResolution(&Board->Board, BOARD_TEXT_RESOLUTION_FUNCTION, &Record))) {
    const BOARD_TEXT_RESOLUTION_RECORD *Resolution =
        static_cast<const BOARD_TEXT_RESOLUTION_RECORD *>(Record);
    Show(TextLine()
             .Add("Board text console: ")
             .Dec(Resolution->Width)
             .Add(" x ")
             .Dec(Resolution->Height));
  }
}

// Every slot the report calls; an empty one would crash the demo instead of reporting.
bool ServicesUsable(const PLATFORM_SERVICES_PROTOCOL *Services) {
  return Services != nullptr && Services->ServicesInfo != nullptr &&
         Services->CmosRead8 != nullptr && Services->GetDiskChannelMap != nullptr &&
         Services->GetPciExpressAddress != nullptr && Services->PlatformCall != nullptr &&
         Services->ReadTimeStampCounter != nullptr;
}

[[noreturn]] void Finish(bool Passed, const char *Verdict) {
  Show(TextLine().Add("PlatformDemo: ").Add(Verdict));
  gSystemTable->BootServices->Stall(kScreenHoldMicroseconds);
  QemuExit(Passed);
}

}  // namespace

extern "C" EFI_STATUS EFIAPI PlatformDemoEntry(EFI_HANDLE ImageHandle,
                                               EFI_SYSTEM_TABLE *SystemTable) {
  gSystemTable = SystemTable;
  EFI_BOOT_SERVICES *BootServices = SystemTable->BootServices;
  BootServices->SetWatchdogTimer(0, 0, 0, nullptr);
  console::Clear(SystemTable);
  Show(TextLine().Add("=== Platform services report (PlatformServicesDxe + ExampleBoardDxe) ==="));

  StartedImage Board = LoadAndStartSiblingImage(ImageHandle, SystemTable, BOARD_IMAGE_FILE);
  StartedImage Driver = LoadAndStartSiblingImage(ImageHandle, SystemTable, DRIVER_IMAGE_FILE);
  PLATFORM_SERVICES_PROTOCOL *Services = nullptr;
  EXAMPLE_BOARD_INSTANCE *BoardInstance = nullptr;
  BootServices->LocateProtocol(&kBoardGuid, nullptr, reinterpret_cast<VOID **>(&BoardInstance));
  if (EFI_ERROR(Board.LoadStatus) || EFI_ERROR(Board.StartStatus) || EFI_ERROR(Driver.LoadStatus) ||
      EFI_ERROR(Driver.StartStatus) ||
      EFI_ERROR(BootServices->HandleProtocol(Driver.Handle, &kServicesGuid,
                                             reinterpret_cast<VOID **>(&Services))) ||
      !ServicesUsable(Services)) {
    Show(TextLine()
             .Add("Board load/start ")
             .Hex(Board.LoadStatus)
             .Add('/')
             .Hex(Board.StartStatus)
             .Add(", driver load/start ")
             .Hex(Driver.LoadStatus)
             .Add('/')
             .Hex(Driver.StartStatus));
    Finish(false, "FAILED: the platform services are not available");
  }
  Show(TextLine()
           .Add("Driver image handle ")
           .Hex(reinterpret_cast<UINT64>(Driver.Handle))
           .Add(" carries the platform services protocol"));

  ShowInformation(*Services);
  ShowClock(*Services);
  ShowDiskChannelMap(*Services);
  ShowPciExpress(*Services);
  ShowProcessorAndBoard(*Services, BoardInstance);
  Finish(true, "report complete");
}
