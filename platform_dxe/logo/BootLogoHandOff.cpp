// The boot logo hand-off: the board's hand-off image drawn at a fixed place and reported to
// the platform's boot logo protocol, with the badge strings under it.
#include "../ModuleState.h"
#include "../PlatformServices.h"
#include "LogoDecoders.h"
#include "LogoDisplay.h"
#include "LogoGeometry.h"
#include "LogoGuids.h"

namespace {

// The logo's middle sits at 38.2 % of the screen height.
constexpr UINT64 kLogoMiddlePerMille = 382;
// Centred badge strings start this many rows below the logo's bottom edge.
constexpr INT64 kBadgeGap = 38;

// The console's Graphics Output, with the mode record this path reads its size from.
EFI_STATUS ConsoleGraphicsOutput(EFI_GRAPHICS_OUTPUT_PROTOCOL **Gop) {
  EFI_STATUS Status = DxeModule.BootServices->HandleProtocol(
      DxeModule.SystemTable->ConsoleOutHandle, &kGraphicsOutputGuid, (VOID **)Gop);
  if (EFI_ERROR(Status)) return Status;
  if (*Gop == nullptr || (*Gop)->Mode == nullptr || (*Gop)->Mode->Info == nullptr)
    return EFI_UNSUPPORTED;
  return EFI_SUCCESS;
}

// The first frame of an animated image, copied into a pixel buffer of our own; the context
// goes back to the decoder on every path.
EFI_STATUS TakeFirstFrame(const LogoDecoders &Decoders, DecodedImage *Decoded,
                          EFI_GRAPHICS_OUTPUT_BLT_PIXEL **Pixels) {
  const ANIMATED_IMAGE_CONTEXT *Context = Decoded->Animation;
  const auto *Frame = Context != nullptr ? (const ANIMATED_IMAGE_FRAME *)(UINTN)Context->FirstFrame
                                         : nullptr;
  UINT64 Bytes = 0;
  if (Frame == nullptr || Frame->Pixels == 0 || Decoded->Width == 0 || Decoded->Height == 0 ||
      !PixelBufferBytes(Decoded->Width, Decoded->Height, &Bytes)) {
    ReleaseDecodedImage(Decoders, Decoded);
    return EFI_UNSUPPORTED;
  }
  auto *Copy = (EFI_GRAPHICS_OUTPUT_BLT_PIXEL *)AllocateZeroedPool((UINTN)Bytes);
  if (Copy == nullptr) {
    ReleaseDecodedImage(Decoders, Decoded);
    return EFI_OUT_OF_RESOURCES;
  }
  DxeModule.BootServices->CopyMem(Copy, (const VOID *)(UINTN)Frame->Pixels, (UINTN)Bytes);
  ReleaseDecodedImage(Decoders, Decoded);
  *Pixels = Copy;
  return EFI_SUCCESS;
}

}  // namespace

EFI_STATUS GetBootLogoImage(VOID **Image, UINTN *ImageSize, UINT32 *Format) {
  LOGO_SOURCE_PROTOCOL *Source = nullptr;
  EFI_STATUS Status = DxeModule.BootServices->LocateProtocol(&kLogoSourceGuid, nullptr, (VOID **)&Source);
  if (EFI_ERROR(Status)) return Status;
  if (Source == nullptr) return EFI_NOT_FOUND;

  UINT32 Instance = 0;
  UINT32 Type = LOGO_IMAGE_TYPE_HAND_OFF;
  UINT32 Attribute = 0;
  UINTN CoordinateX = 0, CoordinateY = 0;
  return Source->GetImage(Source, &Instance, &Type, Format, Image, ImageSize, &Attribute,
                          &CoordinateX, &CoordinateY);
}

EFI_STATUS DecodeLogoImage(VOID *Image, UINTN ImageSize, UINT32 Format,
                           EFI_GRAPHICS_OUTPUT_BLT_PIXEL **Pixels, UINTN *Width, UINTN *Height) {
  LogoDecoders Decoders;
  LocateLogoDecoders(&Decoders);

  DecodedImage Decoded;
  EFI_STATUS Status = DecodeImageByFormat(Decoders, Format, Image, ImageSize, &Decoded);
  if (EFI_ERROR(Status)) return Status;

  EFI_GRAPHICS_OUTPUT_BLT_PIXEL *Result = Decoded.Pixels;
  if (Format == LOGO_FORMAT_ANIMATED) {
    Status = TakeFirstFrame(Decoders, &Decoded, &Result);
    if (EFI_ERROR(Status)) return Status;
  }
  *Pixels = Result;
  *Width = Decoded.Width;
  *Height = Decoded.Height;
  return EFI_SUCCESS;
}

EFI_STATUS PrepareBootLogo(EFI_GRAPHICS_OUTPUT_BLT_PIXEL **Pixels, UINTN *X, UINTN *Y,
                           UINTN *Width, UINTN *Height) {
  EFI_BOOT_SERVICES *Bs = DxeModule.BootServices;
  UINT32 Format = LOGO_FORMAT_ASK_HAND_OFF;
  VOID *Image = nullptr;
  UINTN ImageSize = 0;
  EFI_STATUS Status = GetBootLogoImage(&Image, &ImageSize, &Format);
  if (EFI_ERROR(Status)) return Status;

  EFI_GRAPHICS_OUTPUT_PROTOCOL *Gop = nullptr;
  Status = ConsoleGraphicsOutput(&Gop);
  if (EFI_ERROR(Status)) {
    if (Image != nullptr) Bs->FreePool(Image);
    return Status;
  }
  const UINT64 ScreenWidth = Gop->Mode->Info->HorizontalResolution;
  const UINT64 ScreenHeight = Gop->Mode->Info->VerticalResolution;

  EFI_GRAPHICS_OUTPUT_BLT_PIXEL *Decoded = nullptr;
  UINTN DecodedWidth = 0, DecodedHeight = 0;
  Status = DecodeLogoImage(Image, ImageSize, Format, &Decoded, &DecodedWidth, &DecodedHeight);
  if (!EFI_ERROR(Status)) {
    *Pixels = Decoded;
    *Width = DecodedWidth;
    *Height = DecodedHeight;
  }
  // Unsigned: a logo wider than the screen, or taller than about three quarters of it, comes
  // out far off screen, and the caller refuses to draw it there.
  *X = (UINTN)((ScreenWidth - DecodedWidth) >> 1);
  *Y = (UINTN)(ScreenHeight * kLogoMiddlePerMille / 1000 - (DecodedHeight >> 1));

  if (Image != nullptr) Bs->FreePool(Image);
  return Status;
}

EFI_STATUS HandOffBootLogo(EFI_BOOT_LOGO_PROTOCOL *BootLogo) {
  if (BootLogo == nullptr) return EFI_INVALID_PARAMETER;
  EFI_BOOT_SERVICES *Bs = DxeModule.BootServices;

  EFI_GRAPHICS_OUTPUT_BLT_PIXEL *Pixels = nullptr;
  UINTN X = 0, Y = 0, Width = 0, Height = 0;
  EFI_STATUS Status = PrepareBootLogo(&Pixels, &X, &Y, &Width, &Height);
  if (EFI_ERROR(Status)) return Status;
  // A decoder that succeeded without pixels leaves nothing to show or hand over.
  if (Pixels == nullptr) return EFI_UNSUPPORTED;

  EFI_CONSOLE_CONTROL_PROTOCOL *ConsoleControl = nullptr;
  Status = Bs->LocateProtocol(&kConsoleControlGuid, nullptr, (VOID **)&ConsoleControl);
  if (!EFI_ERROR(Status) && ConsoleControl == nullptr) Status = EFI_NOT_FOUND;
  if (EFI_ERROR(Status)) {
    Bs->FreePool(Pixels);
    return Status;
  }
  ConsoleControl->SetMode(ConsoleControl, EfiConsoleControlScreenGraphics);

  EFI_GRAPHICS_OUTPUT_PROTOCOL *Gop = nullptr;
  Status = ConsoleGraphicsOutput(&Gop);
  if (EFI_ERROR(Status)) {
    Bs->FreePool(Pixels);
    return Status;
  }

  // A logo that does not fit the screen is neither drawn nor handed over; the caller then
  // shows the logo its ordinary way.
  if (!FitsOnScreen(X, Y, Width, Height, Gop->Mode->Info->HorizontalResolution,
                    Gop->Mode->Info->VerticalResolution)) {
    Bs->FreePool(Pixels);
    return EFI_UNSUPPORTED;
  }
  Gop->Blt(Gop, Pixels, EfiBltBufferToVideo, 0, 0, X, Y, Width, Height,
           Width * sizeof(EFI_GRAPHICS_OUTPUT_BLT_PIXEL));
  BootLogo->SetBootLogo(BootLogo, Pixels, X, Y, Width, Height);
  DxeModule.BadgeLineTop = (INT64)(Y + Height) + kBadgeGap;

  LOGO_SOURCE_PROTOCOL *Source = nullptr;
  Status = Bs->LocateProtocol(&kLogoSourceGuid, nullptr, (VOID **)&Source);
  if (!EFI_ERROR(Status) && Source == nullptr) Status = EFI_NOT_FOUND;
  if (EFI_ERROR(Status)) {
    Bs->FreePool(Pixels);
    return Status;
  }

  if (EFI_ERROR(DrawBadgeStrings(Source, 0, 0))) {
    // Without badge strings there is nothing to erase at ready-to-boot.
    Bs->FreePool(Pixels);
    return EFI_SUCCESS;
  }
  EFI_EVENT Event = nullptr;
  Status = CreateReadyToBootEvent(TPL_CALLBACK, EraseBadgeStrings, nullptr, &Event);
  Bs->FreePool(Pixels);
  return Status;
}
