// The board's badge strings, drawn under the logo: at the board's position, or centred on the
// next line of a stack that starts at BadgeLineTop.
#include "../ModuleState.h"
#include "../PlatformServices.h"
#include "ConsoleText.h"
#include "LogoDisplay.h"
#include "LogoGuids.h"

namespace {

EFI_GRAPHICS_OUTPUT_BLT_PIXEL PixelFromColour(UINT32 Colour) {
  EFI_GRAPHICS_OUTPUT_BLT_PIXEL Pixel;
  Pixel.Blue = (UINT8)Colour;
  Pixel.Green = (UINT8)(Colour >> 8);
  Pixel.Red = (UINT8)(Colour >> 16);
  Pixel.Reserved = (UINT8)(Colour >> 24);
  return Pixel;
}

// The badge string is the board's text, used as a format with nothing behind it. Every
// directive that takes an argument reads one of these zero-filled slots instead of whatever
// lies on the stack: one for its value and one for each '*' width.
UINTN ArgumentSlotsFor(const CHAR16 *String) {
  UINTN Slots = 1;
  for (; *String != 0; ++String) {
    if (*String == u'%') Slots += 2;
    if (*String == u'*') Slots += 1;
  }
  return Slots;
}

void PrintBadge(UINTN X, UINTN Y, const EFI_GRAPHICS_OUTPUT_BLT_PIXEL *Foreground,
                const EFI_GRAPHICS_OUTPUT_BLT_PIXEL *Background, const CHAR16 *String) {
  const UINTN SlotCount = ArgumentSlotsFor(String);
  auto *Slots = (UINT64 *)AllocateZeroedPool(SlotCount * sizeof(UINT64));
  if (Slots == nullptr) {
    // Without the slots the string cannot be a format safely: draw it as it stands.
    PrintAtPosition(X, Y, Foreground, Background, u"%s", String);
    return;
  }
  EFI_GRAPHICS_OUTPUT_PROTOCOL *Gop = nullptr;
  EFI_UGA_DRAW_PROTOCOL *Uga = nullptr;
  EFI_SIMPLE_TEXT_OUTPUT_PROTOCOL *TextOut = nullptr;
  if (!EFI_ERROR(LocateConsoleTextDevices(&Gop, &Uga, &TextOut))) {
    PrintAtPositionWorker(Gop, Uga, TextOut, X, Y, Foreground, Background, String,
                          VaListFromSlots(Slots));
  }
  DxeModule.BootServices->FreePool(Slots);
}

}  // namespace

EFI_STATUS DrawBadgeString(UINTN X, UINTN Y, UINT32 Foreground, UINT32 Background,
                           const CHAR16 *String) {
  const EFI_GRAPHICS_OUTPUT_BLT_PIXEL ForegroundPixel = PixelFromColour(Foreground);
  const EFI_GRAPHICS_OUTPUT_BLT_PIXEL BackgroundPixel = PixelFromColour(Background);
  if (String == nullptr) return EFI_INVALID_PARAMETER;

  EFI_BOOT_SERVICES *Bs = DxeModule.BootServices;
  EFI_HANDLE ConsoleOut = DxeModule.SystemTable->ConsoleOutHandle;
  EFI_GRAPHICS_OUTPUT_PROTOCOL *Gop = nullptr;
  EFI_UGA_DRAW_PROTOCOL *Uga = nullptr;
  UINT64 ScreenWidth = 0, ScreenHeight = 0;
  if (!EFI_ERROR(Bs->HandleProtocol(ConsoleOut, &kGraphicsOutputGuid, (VOID **)&Gop)) &&
      Gop != nullptr) {
    if (Gop->Mode == nullptr || Gop->Mode->Info == nullptr) return EFI_UNSUPPORTED;
    ScreenWidth = Gop->Mode->Info->HorizontalResolution;
    ScreenHeight = Gop->Mode->Info->VerticalResolution;
  } else if (!EFI_ERROR(Bs->HandleProtocol(ConsoleOut, &kUgaDrawGuid, (VOID **)&Uga)) &&
             Uga != nullptr) {
    UINT32 Width = 0, Height = 0, ColourDepth = 0, RefreshRate = 0;
    if (EFI_ERROR(Uga->GetMode(Uga, &Width, &Height, &ColourDepth, &RefreshRate)))
      return EFI_UNSUPPORTED;
    ScreenWidth = Width;
    ScreenHeight = Height;
  } else {
    return EFI_UNSUPPORTED;
  }

  if (X == LOGO_BADGE_CENTRED || Y == LOGO_BADGE_CENTRED) {
    if (DxeModule.BadgeLineTop == -1) return EFI_UNSUPPORTED;
    X = (UINTN)((ScreenWidth - (UINT64)WideStringLength(String) * BADGE_GLYPH_WIDTH) >> 1);
    Y = (UINTN)((UINT64)DxeModule.BadgeLineTop + DxeModule.BadgeLineCount * BADGE_LINE_HEIGHT);
    DxeModule.BadgeLineCount += 1;
  }
  // A centred string wider than the screen comes out far to the right and is refused here,
  // having used up its line.
  if (X > ScreenWidth || Y > ScreenHeight) return EFI_UNSUPPORTED;

  PrintBadge(X, Y, &ForegroundPixel, &BackgroundPixel, String);
  return EFI_SUCCESS;
}

EFI_STATUS DrawBadgeStrings(LOGO_SOURCE_PROTOCOL *Source, UINT8 A, UINT8 B) {
  if (Source == nullptr) return EFI_UNSUPPORTED;
  UINTN Count = 0;
  if (EFI_ERROR(Source->GetStringCount(Source, &Count))) return EFI_UNSUPPORTED;
  DxeModule.BadgeLineCount = 0;

  EFI_STATUS Result = EFI_UNSUPPORTED;
  for (UINTN Index = 0; Index < Count; ++Index) {
    CHAR16 *String = nullptr;
    UINTN X = 0, Y = 0;
    UINT32 Foreground = 0, Background = 0;
    if (!Source->GetString(Source, Index, A, B, &String, &X, &Y, &Foreground, &Background))
      continue;
    Result = EFI_SUCCESS;
    if (String == nullptr) continue;
    DrawBadgeString(X, Y, Foreground, Background, String);
    DxeModule.BootServices->FreePool(String);
  }
  return Result;
}
