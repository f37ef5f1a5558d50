// Ready-to-boot: the badge strings drawn under the handed-off logo are painted out before
// the operating system takes the screen; the logo stays.
#include "../ModuleState.h"
#include "../PlatformServices.h"
#include "LogoDisplay.h"
#include "LogoGuids.h"

namespace {

// Rows a positioned badge string covers below its y.
constexpr UINT64 kPositionedBandExtra = 20;
constexpr UINT64 kNoTop = 0xFFFFFFFF;

// Paints rows [Top, Top + Rows) black across the screen, cut at the screen's bottom edge.
void PaintBandBlack(EFI_GRAPHICS_OUTPUT_PROTOCOL *Gop, UINT64 Top, UINT64 Rows) {
  const UINT64 ScreenWidth = Gop->Mode->Info->HorizontalResolution;
  const UINT64 ScreenHeight = Gop->Mode->Info->VerticalResolution;
  if (Top >= ScreenHeight || Rows == 0 || ScreenWidth == 0) return;
  if (Rows > ScreenHeight - Top) Rows = ScreenHeight - Top;
  EFI_GRAPHICS_OUTPUT_BLT_PIXEL Black = {0, 0, 0, 0};
  Gop->Blt(Gop, &Black, EfiBltVideoFill, 0, 0, 0, (UINTN)Top, (UINTN)ScreenWidth, (UINTN)Rows, 0);
}

}  // namespace

VOID EFIAPI EmptyNotify(EFI_EVENT, VOID *) {}

EFI_STATUS CreateReadyToBootEvent(EFI_TPL Tpl, EFI_EVENT_NOTIFY Notify, VOID *Context,
                                  EFI_EVENT *Event) {
  return DxeModule.BootServices->CreateEventEx(EVT_NOTIFY_SIGNAL, Tpl,
                                               Notify != nullptr ? Notify : EmptyNotify, Context,
                                               &kReadyToBootGroupGuid, Event);
}

VOID EFIAPI EraseBadgeStrings(EFI_EVENT Event, VOID *) {
  EFI_BOOT_SERVICES *Bs = DxeModule.BootServices;
  Bs->CloseEvent(Event);

  LOGO_SOURCE_PROTOCOL *Source = nullptr;
  if (EFI_ERROR(Bs->LocateProtocol(&kLogoSourceGuid, nullptr, (VOID **)&Source)) ||
      Source == nullptr)
    return;
  EFI_GRAPHICS_OUTPUT_PROTOCOL *Gop = nullptr;
  if (EFI_ERROR(Bs->HandleProtocol(DxeModule.SystemTable->ConsoleOutHandle, &kGraphicsOutputGuid,
                                   (VOID **)&Gop)) ||
      Gop == nullptr || Gop->Mode == nullptr || Gop->Mode->Info == nullptr)
    return;

  UINTN Count = 0;
  if (EFI_ERROR(Source->GetStringCount(Source, &Count))) Count = 0;
  if (Count == 0) return;

  UINT64 Top = kNoTop, Bottom = 0;
  BOOLEAN Seen = FALSE;
  for (UINTN Index = 0; Index < Count; ++Index) {
    CHAR16 *String = nullptr;
    UINTN X = 0, Y = 0;
    UINT32 Foreground = 0, Background = 0;
    if (!Source->GetString(Source, Index, 0, 0, &String, &X, &Y, &Foreground, &Background))
      continue;
    Seen = TRUE;
    if (String != nullptr) Bs->FreePool(String);
    if (X == LOGO_BADGE_CENTRED || Y == LOGO_BADGE_CENTRED) continue;
    if (Y < Top) Top = Y;
    if (Y > Bottom) Bottom = Y;
  }
  if (!Seen) return;

  if (Top != kNoTop) PaintBandBlack(Gop, Top, Bottom - Top + kPositionedBandExtra);
  if (DxeModule.BadgeLineCount != 0 && DxeModule.BadgeLineTop != -1) {
    if (DxeModule.BadgeLineTop >= 0)
      PaintBandBlack(Gop, (UINT64)DxeModule.BadgeLineTop, DxeModule.BadgeLineCount * BADGE_LINE_HEIGHT);
    DxeModule.BadgeLineCount = 0;
    DxeModule.BadgeLineTop = -1;
  }
}
