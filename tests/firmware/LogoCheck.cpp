// LogoCheck: the boot logo inside OVMF. Booted like FirmwareCheck, it starts the example board
// (ExampleBoardDxe.efi, or ExampleBoardNoHandOffDxe.efi when that is the one beside it) and
// PlatformServicesDxe, then:
//   - checks that the board's shared data, installed after the driver, reached SharedBase;
//   - checks the board's logo services (images, default logo volume) with the driver's own
//     DecodeBitmap;
//   - calls ShowBootLogo and compares the logo on screen with the board's picture where the
//     path taken (hand-off, or ordinary when the board has no hand-off image) must put it,
//     and asks the runner for a screenshot ("SCREEN handoff" or "SCREEN ordinary");
//   - hand-off board only: signals the ready-to-boot group, checks the logo is intact, asks for
//     "SCREEN ready_to_boot", and finds the ACPI BGRT table the firmware then publishes: its
//     image, decoded with DecodeBitmap, must be the logo, its offsets the logo's position;
//     then SetGraphicsResolution and RestoreTextConsole.
// Pixels outside the logo (badge text, black background) are judged from the screenshots by
// tests/firmware/logo_screen_check.py.
#include "AcpiBgrt.h"
#include "CheckReport.h"
#include "Console.h"
#include "ExpectedServices.h"
#include "LogoPictures.h"
#include "QemuExit.h"
#include "ScreenshotHandshake.h"
#include "SiblingImage.h"
#include "example_board/ExampleBoard.h"
#include "include/PlatformServicesProtocol.h"

namespace {

const EFI_GUID kServicesGuid = PLATFORM_SERVICES_PROTOCOL_GUID;
const EFI_GUID kSharedDataGuid = SHARED_DATA_PROTOCOL_GUID;
const EFI_GUID kLogoSourceGuid = LOGO_SOURCE_PROTOCOL_GUID;
const EFI_GUID kConsoleControlGuid = EFI_CONSOLE_CONTROL_PROTOCOL_GUID;
const EFI_GUID kFirmwareVolumeGuid = EFI_FIRMWARE_VOLUME_PROTOCOL_GUID;
const EFI_GUID kGraphicsOutputGuid = EFI_GRAPHICS_OUTPUT_PROTOCOL_GUID;
const EFI_GUID kDefaultLogoFile = DEFAULT_LOGO_FILE_GUID;
const EFI_GUID kReadyToBootGroup = EFI_EVENT_GROUP_READY_TO_BOOT;
const EFI_GUID kTextRestoredGuid = TEXT_CONSOLE_RESTORED_PROTOCOL_GUID;

#define NO_HAND_OFF_BOARD_IMAGE_FILE u"ExampleBoardNoHandOffDxe.efi"

struct LogoCheck {
  EFI_HANDLE SelfImage = nullptr;
  EFI_SYSTEM_TABLE *SystemTable = nullptr;
  EFI_BOOT_SERVICES *BootServices = nullptr;
  CheckReport Report;

  PLATFORM_SERVICES_PROTOCOL *Services = nullptr;
  LOGO_SOURCE_PROTOCOL *Source = nullptr;
  EFI_CONSOLE_CONTROL_PROTOCOL *ConsoleControl = nullptr;
  EFI_GRAPHICS_OUTPUT_PROTOCOL *Gop = nullptr;
  bool HandOffBoard = false;
  Picture Logo;  // the board's logo as DecodeBitmap reads it
};

UINTN CountHandlesWith(EFI_BOOT_SERVICES *BootServices, const EFI_GUID *Protocol) {
  UINTN Count = 0;
  EFI_HANDLE *Handles = nullptr;
  if (EFI_ERROR(BootServices->LocateHandleBuffer(ByProtocol, Protocol, nullptr, &Count, &Handles)))
    return 0;
  BootServices->FreePool(Handles);
  return Count;
}

bool Started(const StartedImage &Image) {
  return !EFI_ERROR(Image.LoadStatus) && Image.StartStatus == EFI_SUCCESS;
}

bool StartBoardAndDriver(LogoCheck &Check) {
  CheckReport &Report = Check.Report;
  StartedImage Board = LoadAndStartSiblingImage(Check.SelfImage, Check.SystemTable, BOARD_IMAGE_FILE);
  if (EFI_ERROR(Board.LoadStatus)) {
    Board = LoadAndStartSiblingImage(Check.SelfImage, Check.SystemTable,
                                     NO_HAND_OFF_BOARD_IMAGE_FILE);
  }
  if (!Report.ExpectTrue("logo.board_starts", Started(Board), "no example board image started"))
    return false;
  VOID *Found = nullptr;
  Report.ExpectEqual("logo.board_shared_data_waits_for_driver", EFI_NOT_FOUND,
                     Check.BootServices->LocateProtocol(&kSharedDataGuid, nullptr, &Found));
  StartedImage Driver =
      LoadAndStartSiblingImage(Check.SelfImage, Check.SystemTable, DRIVER_IMAGE_FILE);
  if (!Report.ExpectTrue("logo.driver_starts", Started(Driver), "PlatformServicesDxe did not start"))
    return false;
  EFI_STATUS Status = Check.BootServices->HandleProtocol(
      Driver.Handle, &kServicesGuid, reinterpret_cast<VOID **>(&Check.Services));
  if (!Report.ExpectEqual("logo.services_found", EFI_SUCCESS, Status)) return false;
  Check.BootServices->LocateProtocol(&kLogoSourceGuid, nullptr,
                                     reinterpret_cast<VOID **>(&Check.Source));
  Check.BootServices->LocateProtocol(&kConsoleControlGuid, nullptr,
                                     reinterpret_cast<VOID **>(&Check.ConsoleControl));
  Check.BootServices->HandleProtocol(Check.SystemTable->ConsoleOutHandle, &kGraphicsOutputGuid,
                                     reinterpret_cast<VOID **>(&Check.Gop));
  return Report.ExpectTrue("logo.board_logo_services",
                           Check.Source != nullptr && Check.ConsoleControl != nullptr &&
                               Check.Gop != nullptr,
                           "logo source, console control or console Graphics Output missing");
}

// The board installs its shared data 100 ms after the driver started; the
// driver's notification must then publish that instance's base.
void CheckLateSharedData(LogoCheck &Check) {
  SHARED_DATA_PROTOCOL *Shared = nullptr;
  for (UINTN Waited = 0; Waited < 2000 && Shared == nullptr; Waited += 10) {
    if (EFI_ERROR(Check.BootServices->LocateProtocol(&kSharedDataGuid, nullptr,
                                                     reinterpret_cast<VOID **>(&Shared)))) {
      Shared = nullptr;
      Check.BootServices->Stall(10000);
    }
  }
  if (Shared == nullptr) {
    Check.Report.Fail("logo.shared_base_from_late_install",
                      TextLine().Add("the board never installed its shared data"));
    return;
  }
  const PLATFORM_SERVICES_INFO &Info = *Check.Services->ServicesInfo;
  TextLine Differed;
  if (Shared->SharedBase == 0) Differed.Add("the board's base is 0");
  if (Info.SharedBase != Shared->SharedBase)
    Differed.Add("SharedBase: expected ").Hex(Shared->SharedBase).Add(" got ").Hex(Info.SharedBase);
  if (Info.SharedItemAddress != Shared->SharedBase + expected::kSharedItemOffset)
    Differed.Add(" SharedItemAddress: expected ")
        .Hex(Shared->SharedBase + expected::kSharedItemOffset)
        .Add(" got ")
        .Hex(Info.SharedItemAddress);
  if (Differed.Length() == 0) {
    Check.Report.Pass("logo.shared_base_from_late_install");
  } else {
    Check.Report.Fail("logo.shared_base_from_late_install", Differed);
  }
}

// Compares a decoded picture with the board's pixel formula.
void ExpectFormula(CheckReport &Report, const char *Name, const Picture &Got, UINT32 Width,
                   UINT32 Height, UINT32 (*Pixel)(UINT32, UINT32, UINT32, UINT32)) {
  if (Got.Width != Width || Got.Height != Height) {
    Report.Fail(Name, TextLine().Add("size ").Dec(Got.Width).Add(" x ").Dec(Got.Height));
    return;
  }
  for (UINT32 Y = 0; Y < Height; ++Y) {
    for (UINT32 X = 0; X < Width; ++X) {
      UINT32 Want = Pixel(X, Y, Width, Height);
      UINT32 Have = PixelColour(Got.Pixels[Y * Width + X]);
      if (Want != Have) {
        Report.Fail(Name, TextLine()
                              .Add("(")
                              .Dec(X)
                              .Add(',')
                              .Dec(Y)
                              .Add(") expected #")
                              .HexDigits(Want, 6)
                              .Add(" got #")
                              .HexDigits(Have, 6));
        return;
      }
    }
  }
  Report.Pass(Name);
}

// GetImage as the driver calls it; the image is decoded and freed. Returns the status.
EFI_STATUS FetchBoardImage(LogoCheck &Check, UINT32 Type, Picture *Out, UINT32 *Format) {
  UINT32 Instance = 0;
  *Format = 0;
  VOID *Image = nullptr;
  UINTN Size = 0;
  UINT32 Attribute = 0;
  UINTN X = 0, Y = 0;
  EFI_STATUS Status = Check.Source->GetImage(Check.Source, &Instance, &Type, Format, &Image, &Size,
                                             &Attribute, &X, &Y);
  if (EFI_ERROR(Status)) return Status;
  Status = DecodePicture(Check.BootServices, Image, Size, Out);
  Check.BootServices->FreePool(Image);
  return Status;
}

void CheckBoardImages(LogoCheck &Check) {
  CheckReport &Report = Check.Report;
  UINT32 Format = 0;
  EFI_STATUS Status = FetchBoardImage(Check, LOGO_IMAGE_TYPE_LOGO, &Check.Logo, &Format);
  if (Report.ExpectEqual("logo.board_logo_decodes", EFI_SUCCESS, Status)) {
    ExpectFormula(Report, "logo.board_logo_pixels", Check.Logo, EXAMPLE_LOGO_WIDTH,
                  EXAMPLE_LOGO_HEIGHT, ExampleLogoPixel);
  }
  Picture Overlay;
  Status = FetchBoardImage(Check, LOGO_IMAGE_TYPE_OVERLAY, &Overlay, &Format);
  if (Report.ExpectEqual("logo.board_overlay_decodes", EFI_SUCCESS, Status)) {
    ExpectFormula(Report, "logo.board_overlay_pixels", Overlay, EXAMPLE_OVERLAY_WIDTH,
                  EXAMPLE_OVERLAY_HEIGHT, ExampleOverlayPixel);
  }
  FreePicture(Check.BootServices, &Overlay);
  Picture HandOff;
  Status = FetchBoardImage(Check, LOGO_IMAGE_TYPE_HAND_OFF, &HandOff, &Format);
  Check.HandOffBoard = !EFI_ERROR(Status);
  FreePicture(Check.BootServices, &HandOff);
  Report.Note(TextLine()
                  .Add("board variant: ")
                  .Add(Check.HandOffBoard ? "with" : "without")
                  .Add(" a hand-off image"));

  // The default logo as the driver reads it: ReadSection allocating the buffer.
  EFI_HANDLE *Volumes = nullptr;
  UINTN VolumeCount = 0;
  Status = Check.BootServices->LocateHandleBuffer(ByProtocol, &kFirmwareVolumeGuid, nullptr,
                                                  &VolumeCount, &Volumes);
  if (!Report.ExpectEqual("logo.firmware_volume_present", EFI_SUCCESS, Status)) return;
  EFI_FIRMWARE_VOLUME_PROTOCOL *Volume = nullptr;
  Check.BootServices->HandleProtocol(Volumes[0], &kFirmwareVolumeGuid,
                                     reinterpret_cast<VOID **>(&Volume));
  Check.BootServices->FreePool(Volumes);
  VOID *Section = nullptr;
  UINTN SectionSize = 0;
  UINT32 Authentication = 1;
  Status = Volume->ReadSection(Volume, &kDefaultLogoFile, EFI_SECTION_RAW, 0, &Section,
                               &SectionSize, &Authentication);
  if (!Report.ExpectEqual("logo.default_logo_section_read", EFI_SUCCESS, Status)) return;
  Picture DefaultLogo;
  Status = DecodePicture(Check.BootServices, Section, SectionSize, &DefaultLogo);
  Check.BootServices->FreePool(Section);
  if (Report.ExpectEqual("logo.default_logo_decodes", EFI_SUCCESS, Status)) {
    ExpectFormula(Report, "logo.default_logo_pixels", DefaultLogo, EXAMPLE_DEFAULT_LOGO_WIDTH,
                  EXAMPLE_DEFAULT_LOGO_HEIGHT, ExampleLogoPixel);
  }
  FreePicture(Check.BootServices, &DefaultLogo);
}

UINTN ScreenWidth(const LogoCheck &Check) { return Check.Gop->Mode->Info->HorizontalResolution; }
UINTN ScreenHeight(const LogoCheck &Check) { return Check.Gop->Mode->Info->VerticalResolution; }

// The logo's pixels must be on screen exactly at (X, Y).
void ExpectLogoAt(LogoCheck &Check, const char *Name, UINTN X, UINTN Y) {
  Picture Screen;
  EFI_STATUS Status =
      ReadScreen(Check.BootServices, Check.Gop, X, Y, Check.Logo.Width, Check.Logo.Height, &Screen);
  if (EFI_ERROR(Status)) {
    Check.Report.Fail(Name, TextLine().Add("reading the screen failed ").Hex(Status));
    return;
  }
  TextLine Differed;
  ComparePictures(Check.Logo, Screen, X, Y, Differed);
  FreePicture(Check.BootServices, &Screen);
  if (Differed.Length() == 0) {
    Check.Report.Pass(Name);
  } else {
    Check.Report.Fail(Name, Differed);
  }
}

void ExpectConsoleMode(LogoCheck &Check, const char *Name, EFI_CONSOLE_CONTROL_SCREEN_MODE Want) {
  EFI_CONSOLE_CONTROL_SCREEN_MODE Mode = EfiConsoleControlScreenMaxValue;
  Check.ConsoleControl->GetMode(Check.ConsoleControl, &Mode, nullptr, nullptr);
  Check.Report.ExpectEqual(Name, Want, Mode);
}

VOID EFIAPI ReadyToBootSeen(EFI_EVENT Event, VOID *Context) {
  (void)Event;
  *static_cast<UINTN *>(Context) += 1;
}

// Every member of the ready-to-boot group, the driver's erase and the firmware's BGRT
// publisher among them, runs when one member is signalled.
void SignalReadyToBoot(LogoCheck &Check) {
  static UINTN Seen = 0;
  EFI_EVENT Event = nullptr;
  EFI_STATUS Status = Check.BootServices->CreateEventEx(
      EVT_NOTIFY_SIGNAL, TPL_CALLBACK, ReadyToBootSeen, &Seen, &kReadyToBootGroup, &Event);
  if (!Check.Report.ExpectEqual("logo.ready_to_boot_event_created", EFI_SUCCESS, Status)) return;
  Check.BootServices->SignalEvent(Event);
  Check.BootServices->CloseEvent(Event);
  Check.Report.ExpectEqual("logo.ready_to_boot_signalled", 1, Seen);
}

void CheckBgrt(LogoCheck &Check, UINTN X, UINTN Y) {
  CheckReport &Report = Check.Report;
  BgrtTable Bgrt;
  TextLine Why;
  if (EFI_ERROR(FindBgrt(Check.SystemTable, &Bgrt, Why))) {
    Report.Fail("bgrt.published", Why);
    return;
  }
  Report.Pass("bgrt.published");
  Report.Note(TextLine()
                  .Add("BGRT: ")
                  .Dec(Bgrt.Count)
                  .Add(" table(s); version ")
                  .Dec(Bgrt.Version)
                  .Add(", status ")
                  .Hex(Bgrt.Status)
                  .Add(", image type ")
                  .Dec(Bgrt.ImageType)
                  .Add(", image at ")
                  .Hex(Bgrt.ImageAddress)
                  .Add(", offsets ")
                  .Dec(Bgrt.OffsetX)
                  .Add(", ")
                  .Dec(Bgrt.OffsetY));
  Report.ExpectEqual("bgrt.one_table", 1, Bgrt.Count);
  Report.ExpectTrue("bgrt.checksum", AcpiChecksumOk(Bgrt.Table, Bgrt.Length),
                    "the table's bytes do not add up to zero");
  Report.ExpectEqual("bgrt.image_type_bitmap", 0, Bgrt.ImageType);
  Report.ExpectEqual("bgrt.offset_x", X, Bgrt.OffsetX);
  Report.ExpectEqual("bgrt.offset_y", Y, Bgrt.OffsetY);
  if (Bgrt.ImageAddress == 0) {
    Report.Fail("bgrt.image_decodes", TextLine().Add("no image address"));
    return;
  }
  const UINT8 *Image = reinterpret_cast<const UINT8 *>(Bgrt.ImageAddress);
  // The image is a bitmap file: its size is in its own header.
  const UINT32 ImageSize = ReadLe32(Image + 2);
  Picture Decoded;
  EFI_STATUS Status = DecodePicture(Check.BootServices, Image, ImageSize, &Decoded);
  if (Report.ExpectEqual("bgrt.image_decodes", EFI_SUCCESS, Status)) {
    TextLine Differed;
    ComparePictures(Check.Logo, Decoded, 0, 0, Differed);
    if (Differed.Length() == 0) {
      Report.Pass("bgrt.image_is_the_logo");
    } else {
      Report.Fail("bgrt.image_is_the_logo", Differed);
    }
  }
  FreePicture(Check.BootServices, &Decoded);
}

// The hand-off path: the logo at (W - w) / 2, H * 382 / 1000 - h / 2.
void CheckHandOff(LogoCheck &Check) {
  const UINTN W = ScreenWidth(Check), H = ScreenHeight(Check);
  const UINTN X = (W - Check.Logo.Width) / 2;
  const UINTN Y = H * 382 / 1000 - Check.Logo.Height / 2;
  Check.Report.Note(TextLine()
                        .Add("screen ")
                        .Dec(W)
                        .Add(" x ")
                        .Dec(H)
                        .Add(", hand-off logo expected at (")
                        .Dec(X)
                        .Add(", ")
                        .Dec(Y)
                        .Add("), first badge line at row ")
                        .Dec(Y + Check.Logo.Height + 38));
  ExpectLogoAt(Check, "handoff.logo_on_screen", X, Y);
  ExpectConsoleMode(Check, "handoff.console_in_graphics", EfiConsoleControlScreenGraphics);
  WaitForScreenshot(Check.SystemTable, "handoff");

  SignalReadyToBoot(Check);
  ExpectLogoAt(Check, "ready_to_boot.logo_intact", X, Y);
  WaitForScreenshot(Check.SystemTable, "ready_to_boot");
  CheckBgrt(Check, X, Y);
}

// The ordinary path: the logo by its placement code, the overlay at the logo's marker.
void CheckOrdinary(LogoCheck &Check) {
  const UINTN W = ScreenWidth(Check);
  const UINTN X = (W - Check.Logo.Width) / 2;  // centre top
  const UINTN Y = EXAMPLE_LOGO_TOP;
  ExpectLogoAt(Check, "ordinary.logo_on_screen", X, Y);
  Picture Overlay;
  UINT32 Format = 0;
  if (!EFI_ERROR(FetchBoardImage(Check, LOGO_IMAGE_TYPE_OVERLAY, &Overlay, &Format))) {
    Picture Screen;
    EFI_STATUS Status = ReadScreen(Check.BootServices, Check.Gop, EXAMPLE_LOGO_MARKER_X,
                                   EXAMPLE_LOGO_MARKER_Y, Overlay.Width, Overlay.Height, &Screen);
    TextLine Differed;
    if (EFI_ERROR(Status)) {
      Differed.Add("reading the screen failed ").Hex(Status);
    } else {
      ComparePictures(Overlay, Screen, EXAMPLE_LOGO_MARKER_X, EXAMPLE_LOGO_MARKER_Y, Differed);
    }
    Differed.Length() == 0 ? Check.Report.Pass("ordinary.overlay_at_marker")
                           : Check.Report.Fail("ordinary.overlay_at_marker", Differed);
    FreePicture(Check.BootServices, &Screen);
  }
  FreePicture(Check.BootServices, &Overlay);
  ExpectConsoleMode(Check, "ordinary.console_in_graphics", EfiConsoleControlScreenGraphics);
  WaitForScreenshot(Check.SystemTable, "ordinary");
}

// Slot 3 to a mode OVMF offers other than the current one and the board's text size.
void CheckSetGraphicsResolution(LogoCheck &Check) {
  EFI_GRAPHICS_OUTPUT_PROTOCOL *Gop = Check.Gop;
  const UINT32 CurrentWidth = Gop->Mode->Info->HorizontalResolution;
  const UINT32 CurrentHeight = Gop->Mode->Info->VerticalResolution;
  UINT32 TargetMode = Gop->Mode->MaxMode, TargetWidth = 0, TargetHeight = 0;
  for (UINT32 Mode = 0; Mode < Gop->Mode->MaxMode && TargetMode == Gop->Mode->MaxMode; ++Mode) {
    UINTN InfoSize = 0;
    EFI_GRAPHICS_OUTPUT_MODE_INFORMATION *Info = nullptr;
    if (EFI_ERROR(Gop->QueryMode(Gop, Mode, &InfoSize, &Info))) continue;
    const UINT32 Width = Info->HorizontalResolution, Height = Info->VerticalResolution;
    Check.BootServices->FreePool(Info);
    if ((Width == CurrentWidth && Height == CurrentHeight) ||
        (Width == EXAMPLE_BOARD_TEXT_WIDTH && Height == EXAMPLE_BOARD_TEXT_HEIGHT) ||
        (Width == 800 && Height == 600)) {
      continue;
    }
    TargetMode = Mode;
    TargetWidth = Width;
    TargetHeight = Height;
  }
  if (TargetMode == Gop->Mode->MaxMode) {
    Check.Report.Fail("graphics_mode.target", TextLine().Add("OVMF offers no other mode"));
    return;
  }
  Check.Services->SetGraphicsResolution(Gop, TargetWidth, TargetHeight);
  TextLine Differed;
  if (Gop->Mode->Mode != TargetMode || Gop->Mode->Info->HorizontalResolution != TargetWidth ||
      Gop->Mode->Info->VerticalResolution != TargetHeight) {
    Differed.Add("expected mode ")
        .Dec(TargetMode)
        .Add(' ')
        .Dec(TargetWidth)
        .Add(" x ")
        .Dec(TargetHeight)
        .Add(", got mode ")
        .Dec(Gop->Mode->Mode)
        .Add(' ')
        .Dec(Gop->Mode->Info->HorizontalResolution)
        .Add(" x ")
        .Dec(Gop->Mode->Info->VerticalResolution);
  }
  Differed.Length() == 0 ? Check.Report.Pass("graphics_mode.switched")
                         : Check.Report.Fail("graphics_mode.switched", Differed);
}

void CheckRestoreTextConsole(LogoCheck &Check) {
  const UINTN Before = CountHandlesWith(Check.BootServices, &kTextRestoredGuid);
  for (UINTN Call = 1; Call <= 2; ++Call) {
    EFI_STATUS Status = Check.Services->RestoreTextConsole();
    Check.Report.ExpectEqual(Call == 1 ? "text_restore.status" : "text_restore.second_status",
                             EFI_SUCCESS, Status);
    Check.Report.ExpectEqual(
        Call == 1 ? "text_restore.one_more_handle" : "text_restore.second_handle",
        Before + Call, CountHandlesWith(Check.BootServices, &kTextRestoredGuid));
  }
  TextLine Differed;
  const UINT32 Width = Check.Gop->Mode->Info->HorizontalResolution;
  const UINT32 Height = Check.Gop->Mode->Info->VerticalResolution;
  if (Width != EXAMPLE_BOARD_TEXT_WIDTH || Height != EXAMPLE_BOARD_TEXT_HEIGHT) {
    Differed.Add("expected 1024 x 768 got ").Dec(Width).Add(" x ").Dec(Height);
  }
  Differed.Length() == 0 ? Check.Report.Pass("text_restore.board_resolution")
                         : Check.Report.Fail("text_restore.board_resolution", Differed);
  ExpectConsoleMode(Check, "text_restore.console_in_text", EfiConsoleControlScreenText);
}

}  // namespace

extern "C" EFI_STATUS EFIAPI LogoCheckEntry(EFI_HANDLE ImageHandle, EFI_SYSTEM_TABLE *SystemTable) {
  console::WriteLine(SystemTable, TextLine().Add("LogoCheck: results go to the serial port"));
  SystemTable->BootServices->SetWatchdogTimer(0, 0, 0, nullptr);
  static LogoCheck Check;
  Check.SelfImage = ImageHandle;
  Check.SystemTable = SystemTable;
  Check.BootServices = SystemTable->BootServices;

  if (StartBoardAndDriver(Check)) {
    CheckLateSharedData(Check);
    CheckBoardImages(Check);
    if (Check.Logo.Pixels != nullptr) {
      EFI_STATUS Status = Check.Services->ShowBootLogo(0);
      // With a logo source the ordinary path ends with the status that ends the source's
      // overlay list: the example board's is Not Found.
      Check.Report.ExpectEqual("logo.show_boot_logo_status",
                               Check.HandOffBoard ? EFI_SUCCESS : EFI_NOT_FOUND, Status);
      if (Check.HandOffBoard) {
        CheckHandOff(Check);
        CheckSetGraphicsResolution(Check);
        CheckRestoreTextConsole(Check);
      } else {
        CheckOrdinary(Check);
      }
    }
  }
  Check.Report.WriteSummary("LogoCheck");
  QemuExit(Check.Report.AllPassed());
}
