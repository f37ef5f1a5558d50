#include "DemoLogo.h"

#include "LogoPictures.h"
#include "ScreenshotHandshake.h"
#include "include/BoardLogoProtocols.h"

namespace {

const EFI_GUID kLogoSourceGuid = LOGO_SOURCE_PROTOCOL_GUID;
const EFI_GUID kConsoleControlGuid = EFI_CONSOLE_CONTROL_PROTOCOL_GUID;
const EFI_GUID kGraphicsOutputGuid = EFI_GRAPHICS_OUTPUT_PROTOCOL_GUID;
const EFI_GUID kReadyToBootGroup = EFI_EVENT_GROUP_READY_TO_BOOT;
const EFI_GUID kTextRestoredGuid = TEXT_CONSOLE_RESTORED_PROTOCOL_GUID;

VOID EFIAPI NothingToDo(EFI_EVENT Event, VOID *Context) {
  (void)Event;
  (void)Context;
}

// The board's hand-off image, decoded as the driver decodes it.
bool BoardLogo(EFI_BOOT_SERVICES *BootServices, LOGO_SOURCE_PROTOCOL *Source, Picture *Logo) {
  UINT32 Instance = 0, Type = LOGO_IMAGE_TYPE_HAND_OFF, Format = LOGO_FORMAT_ASK_HAND_OFF;
  UINT32 Attribute = 0;
  VOID *Image = nullptr;
  UINTN Size = 0, X = 0, Y = 0;
  if (EFI_ERROR(Source->GetImage(Source, &Instance, &Type, &Format, &Image, &Size, &Attribute,
                                 &X, &Y))) {
    return false;
  }
  EFI_STATUS Status = DecodePicture(BootServices, Image, Size, Logo);
  BootServices->FreePool(Image);
  return !EFI_ERROR(Status);
}

bool SamePicture(const Picture &A, const Picture &B) {
  TextLine Differed;
  ComparePictures(A, B, 0, 0, Differed);
  return Differed.Length() == 0;
}

}  // namespace

void RunDemoLogo(EFI_SYSTEM_TABLE *SystemTable, PLATFORM_SERVICES_PROTOCOL *Services,
                 DemoLogoFindings *Findings) {
  EFI_BOOT_SERVICES *BootServices = SystemTable->BootServices;
  LOGO_SOURCE_PROTOCOL *Source = nullptr;
  EFI_GRAPHICS_OUTPUT_PROTOCOL *Gop = nullptr;
  EFI_CONSOLE_CONTROL_PROTOCOL *ConsoleControl = nullptr;
  BootServices->LocateProtocol(&kLogoSourceGuid, nullptr, reinterpret_cast<VOID **>(&Source));
  BootServices->LocateProtocol(&kConsoleControlGuid, nullptr,
                               reinterpret_cast<VOID **>(&ConsoleControl));
  BootServices->HandleProtocol(SystemTable->ConsoleOutHandle, &kGraphicsOutputGuid,
                               reinterpret_cast<VOID **>(&Gop));
  if (Source == nullptr || Gop == nullptr || ConsoleControl == nullptr) return;
  Source->GetStringCount(Source, &Findings->BadgeCount);

  Picture Logo;
  const bool HaveLogo = BoardLogo(BootServices, Source, &Logo);
  Findings->ShowStatus = Services->ShowBootLogo(0);
  Findings->ScreenWidth = Gop->Mode->Info->HorizontalResolution;
  Findings->ScreenHeight = Gop->Mode->Info->VerticalResolution;
  if (HaveLogo) {
    Findings->LogoWidth = Logo.Width;
    Findings->LogoHeight = Logo.Height;
    Findings->LogoX = (Findings->ScreenWidth - Logo.Width) / 2;
    Findings->LogoY = Findings->ScreenHeight * 382 / 1000 - Logo.Height / 2;
    Picture Screen;
    if (!EFI_ERROR(ReadScreen(BootServices, Gop, Findings->LogoX, Findings->LogoY, Logo.Width,
                              Logo.Height, &Screen))) {
      Findings->LogoOnScreen = SamePicture(Logo, Screen);
    }
    FreePicture(BootServices, &Screen);
  }
  Findings->ScreenshotTaken = WaitForScreenshot(SystemTable, "logo");

  // What the boot manager does before it starts an operating system: the driver paints the
  // badge lines out, the firmware publishes the logo in its BGRT table.
  EFI_EVENT Event = nullptr;
  if (!EFI_ERROR(BootServices->CreateEventEx(EVT_NOTIFY_SIGNAL, TPL_CALLBACK, NothingToDo,
                                             nullptr, &kReadyToBootGroup, &Event))) {
    BootServices->SignalEvent(Event);
    BootServices->CloseEvent(Event);
  }
  TextLine Why;
  Findings->BgrtFound = !EFI_ERROR(FindBgrt(SystemTable, &Findings->Bgrt, Why));
  if (Findings->BgrtFound && HaveLogo && Findings->Bgrt.ImageAddress != 0) {
    const UINT8 *Image = reinterpret_cast<const UINT8 *>(Findings->Bgrt.ImageAddress);
    Picture Published;
    if (!EFI_ERROR(DecodePicture(BootServices, Image, ReadLe32(Image + 2), &Published))) {
      Findings->BgrtImageIsLogo = SamePicture(Logo, Published);
    }
    FreePicture(BootServices, &Published);
  }
  FreePicture(BootServices, &Logo);

  Findings->RestoreStatus = Services->RestoreTextConsole();
  Findings->TextWidth = Gop->Mode->Info->HorizontalResolution;
  Findings->TextHeight = Gop->Mode->Info->VerticalResolution;
  ConsoleControl->GetMode(ConsoleControl, &Findings->ConsoleMode, nullptr, nullptr);
  EFI_HANDLE *Handles = nullptr;
  if (!EFI_ERROR(BootServices->LocateHandleBuffer(ByProtocol, &kTextRestoredGuid, nullptr,
                                                  &Findings->RestoredHandles, &Handles))) {
    BootServices->FreePool(Handles);
  }
}
