// Slot 1: the boot logo. The hand-off to the platform's boot logo protocol when there is one;
// otherwise every image of the board's logo source, placed by its placement code or by the
// location marker of the logo image before it; without a logo source the default logo,
// centred.
#include "../ModuleState.h"
#include "../PlatformServices.h"
#include "LocationMarker.h"
#include "LogoDecoders.h"
#include "LogoDisplay.h"
#include "LogoGeometry.h"
#include "LogoGuids.h"
#include "LogoScreen.h"

namespace {

// One image as the logo source (or the firmware volume) hands it over. Bytes is ours.
struct SourceImage {
  VOID *Bytes;
  UINTN Size;
  UINT32 Type;
  UINT32 Format;
  UINT32 Placement;
  UINTN CoordinateX;
  UINTN CoordinateY;
};

// Where the enumeration of the logo source stands, and the last location marker seen.
struct Enumeration {
  LOGO_SOURCE_PROTOCOL *Source;
  UINT32 Type;
  UINT32 Instance;
  UINT32 Format;
  BOOLEAN MarkerSeen;
  UINT16 MarkerX;
  UINT16 MarkerY;
};

void FreeImageBytes(SourceImage *Image) {
  if (Image->Bytes != nullptr) DxeModule.BootServices->FreePool(Image->Bytes);
  Image->Bytes = nullptr;
}

// The next image to decode: logo images first, then the overlay images from the start.
// Logo images of formats that are never decoded are dropped here without touching the
// marker. The error that ends the overlay images ends the display.
EFI_STATUS NextSourceImage(Enumeration *Walk, SourceImage *Image) {
  LOGO_SOURCE_PROTOCOL *Source = Walk->Source;
  for (;;) {
    *Image = SourceImage{};
    EFI_STATUS Status =
        Source->GetImage(Source, &Walk->Instance, &Walk->Type, &Walk->Format, &Image->Bytes,
                         &Image->Size, &Image->Placement, &Image->CoordinateX, &Image->CoordinateY);
    if (EFI_ERROR(Status)) {
      // Nothing was handed over with an error.
      Image->Bytes = nullptr;
      if (Walk->Type != LOGO_IMAGE_TYPE_LOGO) return Status;
      Walk->Type = LOGO_IMAGE_TYPE_OVERLAY;
      Walk->Instance = 0;
      continue;
    }
    Image->Type = Walk->Type;
    Image->Format = Walk->Format;

    if (Image->Type == LOGO_IMAGE_TYPE_OVERLAY) {
      if (Walk->MarkerSeen) {
        Image->CoordinateX = Walk->MarkerX;
        Image->CoordinateY = Walk->MarkerY;
      }
      return EFI_SUCCESS;
    }
    if (Image->Type != LOGO_IMAGE_TYPE_LOGO) {
      FreeImageBytes(Image);
      return EFI_INVALID_PARAMETER;
    }
    switch (Image->Format) {
      case LOGO_FORMAT_BITMAP:
      case LOGO_FORMAT_JPEG:
      case LOGO_FORMAT_FORMAT5:
        // A marker that would lie past the end of the image is not there.
        if (ReadLocationMarker(Image->Format, Image->Bytes, Image->Size, &Walk->MarkerX,
                               &Walk->MarkerY))
          Walk->MarkerSeen = TRUE;
        return EFI_SUCCESS;
      case LOGO_FORMAT_ANIMATED:
      case LOGO_FORMAT_FORMAT4:
        return EFI_SUCCESS;
      default:
        FreeImageBytes(Image);
        continue;
    }
  }
}

// The board may want the screen to take a logo image's size. FALSE when that was asked of a
// UGA Draw console that could not do it.
BOOLEAN TakeImageResolution(LOGO_SOURCE_PROTOCOL *Source, LogoScreen &Screen,
                            const DecodedImage &Decoded) {
  UINT64 Unused1 = 0, Unused2 = 0;
  const UINT32 Width = (UINT32)Decoded.Width;
  const UINT32 Height = (UINT32)Decoded.Height;
  if (!Source->UseImageResolution(Source, 0, Width, Height, &Unused1, &Unused2)) return TRUE;
  Screen.Width = Decoded.Width;
  Screen.Height = Decoded.Height;
  if (Screen.Gop != nullptr) {
    SelectGraphicsMode(Screen.Gop, Width, Height);
    return TRUE;
  }
  if (EFI_ERROR(Screen.Uga->SetMode(Screen.Uga, Width, Height, Screen.ColourDepth,
                                    Screen.RefreshRate)))
    return FALSE;
  Screen.UgaWidth = Width;
  Screen.UgaHeight = Height;
  return TRUE;
}

// Runs one image through decode, placement and drawing. *Finished is set when the display
// must end with the returned status. The image bytes stay with the caller.
EFI_STATUS ShowOneImage(Enumeration &Walk, LogoScreen &Screen, const LogoDecoders &Decoders,
                        SourceImage &Image, BOOLEAN *Finished) {
  LOGO_SOURCE_PROTOCOL *Source = Walk.Source;
  *Finished = FALSE;
  DecodedImage Decoded;
  EFI_STATUS Status = DecodeImageByFormat(Decoders, Image.Format, Image.Bytes, Image.Size, &Decoded);
  if (EFI_ERROR(Status)) return Status;

  const BOOLEAN LogoImage = Image.Type == LOGO_IMAGE_TYPE_LOGO && Source != nullptr;
  if (Decoded.Pixels != nullptr || Decoded.Animation != nullptr) {
    if (LogoImage && !TakeImageResolution(Source, Screen, Decoded)) {
      ReleaseDecodedImage(Decoders, &Decoded);
      *Finished = TRUE;
      return EFI_UNSUPPORTED;
    }
    UINT64 X = 0, Y = 0;
    PlaceImage(Image.Placement, Screen.Width, Screen.Height, Decoded.Width, Decoded.Height,
               Image.CoordinateX, Image.CoordinateY, &X, &Y);
    if ((INT64)X >= 0 && (INT64)Y >= 0) {
      BOOLEAN Drawn = FALSE;
      EFI_STATUS DrawStatus = DrawDecodedImage(Screen, Decoders, &Decoded, X, Y, &Drawn);
      if (Drawn) Status = DrawStatus;
    }
  }
  if (LogoImage) {
    DxeModule.BadgeLineTop = (INT64)(Screen.Height >> 1);
    DrawBadgeStrings(Source, 0, 0);
  }
  ReleaseDecodedImage(Decoders, &Decoded);
  return Status;
}

EFI_STATUS RunImageLoop(LOGO_SOURCE_PROTOCOL *Source, LogoScreen &Screen,
                        const LogoDecoders &Decoders) {
  Enumeration Walk = {};
  Walk.Source = Source;
  Walk.Type = LOGO_IMAGE_TYPE_LOGO;

  for (;;) {
    SourceImage Image = {};
    if (Source != nullptr) {
      EFI_STATUS Status = NextSourceImage(&Walk, &Image);
      if (EFI_ERROR(Status)) return Status;
    } else {
      if (EFI_ERROR(FetchDefaultLogo(&Image.Bytes, &Image.Size))) return EFI_UNSUPPORTED;
      Image.Type = LOGO_IMAGE_TYPE_LOGO;
      Image.Format = LOGO_FORMAT_BITMAP;
      Image.Placement = LOGO_PLACE_CENTRE;
    }

    BOOLEAN Finished = FALSE;
    EFI_STATUS Status = ShowOneImage(Walk, Screen, Decoders, Image, &Finished);
    FreeImageBytes(&Image);
    // A bad image costs that image only, as long as there is a source to ask for the next.
    if (Finished || Source == nullptr) return Status;
  }
}

}  // namespace

EFI_STATUS EFIAPI ShowBootLogo(UINTN) {
  EFI_BOOT_SERVICES *Bs = DxeModule.BootServices;
  EFI_HANDLE ConsoleOut = DxeModule.SystemTable->ConsoleOutHandle;

  LogoScreen Screen = {};
  if (EFI_ERROR(Bs->LocateProtocol(&kConsoleControlGuid, nullptr, (VOID **)&Screen.ConsoleControl)) ||
      Screen.ConsoleControl == nullptr)
    return EFI_UNSUPPORTED;

  EFI_BOOT_LOGO_PROTOCOL *BootLogo = nullptr;
  if (!EFI_ERROR(Bs->LocateProtocol(&kBootLogoGuid, nullptr, (VOID **)&BootLogo)) &&
      BootLogo != nullptr) {
    EFI_STATUS Status = HandOffBootLogo(BootLogo);
    if (!EFI_ERROR(Status)) return Status;
  }

  if (EFI_ERROR(Bs->HandleProtocol(ConsoleOut, &kGraphicsOutputGuid, (VOID **)&Screen.Gop)))
    Screen.Gop = nullptr;
  if (Screen.Gop == nullptr &&
      (EFI_ERROR(Bs->HandleProtocol(ConsoleOut, &kUgaDrawGuid, (VOID **)&Screen.Uga)) ||
       Screen.Uga == nullptr))
    return EFI_UNSUPPORTED;

  LOGO_SOURCE_PROTOCOL *Source = nullptr;
  if (EFI_ERROR(Bs->LocateProtocol(&kLogoSourceGuid, nullptr, (VOID **)&Source))) Source = nullptr;
  LogoDecoders Decoders;
  LocateLogoDecoders(&Decoders);

  Screen.ConsoleControl->SetMode(Screen.ConsoleControl, EfiConsoleControlScreenGraphics);

  if (Screen.Gop != nullptr) {
    UINT64 Width = 0, Height = 0;
    ScreenBounds(Screen, &Width, &Height);
    Screen.Width = Width;
    Screen.Height = Height;
  } else {
    if (EFI_ERROR(Screen.Uga->GetMode(Screen.Uga, &Screen.UgaWidth, &Screen.UgaHeight,
                                      &Screen.ColourDepth, &Screen.RefreshRate)))
      return EFI_UNSUPPORTED;
    Screen.Width = Screen.UgaWidth;
    Screen.Height = Screen.UgaHeight;
  }

  return RunImageLoop(Source, Screen, Decoders);
}
