#include "LogoPictures.h"

#include "platform_dxe/ModuleState.h"
#include "platform_dxe/logo/BitmapDecoder.h"

UINT32 PixelColour(const EFI_GRAPHICS_OUTPUT_BLT_PIXEL &Pixel) {
  return (static_cast<UINT32>(Pixel.Red) << 16) | (static_cast<UINT32>(Pixel.Green) << 8) |
         Pixel.Blue;
}

EFI_STATUS DecodePicture(EFI_BOOT_SERVICES *BootServices, const VOID *File, UINTN Size,
                         Picture *Out) {
  // DecodeBitmap allocates through the driver's module state.
  DxeModule.BootServices = BootServices;
  UINTN BufferSize = 0;
  *Out = Picture();
  return DecodeBitmap(File, Size, &Out->Pixels, &BufferSize, &Out->Height, &Out->Width);
}

EFI_STATUS ReadScreen(EFI_BOOT_SERVICES *BootServices, EFI_GRAPHICS_OUTPUT_PROTOCOL *Gop, UINTN X,
                      UINTN Y, UINTN Width, UINTN Height, Picture *Out) {
  *Out = Picture();
  VOID *Buffer = nullptr;
  EFI_STATUS Status = BootServices->AllocatePool(
      EfiBootServicesData, Width * Height * sizeof(EFI_GRAPHICS_OUTPUT_BLT_PIXEL), &Buffer);
  if (EFI_ERROR(Status)) return Status;
  Status = Gop->Blt(Gop, static_cast<EFI_GRAPHICS_OUTPUT_BLT_PIXEL *>(Buffer),
                    EfiBltVideoToBltBuffer, X, Y, 0, 0, Width, Height,
                    Width * sizeof(EFI_GRAPHICS_OUTPUT_BLT_PIXEL));
  if (EFI_ERROR(Status)) {
    BootServices->FreePool(Buffer);
    return Status;
  }
  Out->Pixels = static_cast<EFI_GRAPHICS_OUTPUT_BLT_PIXEL *>(Buffer);
  Out->Width = Width;
  Out->Height = Height;
  return EFI_SUCCESS;
}

void FreePicture(EFI_BOOT_SERVICES *BootServices, Picture *Target) {
  if (Target->Pixels != nullptr) BootServices->FreePool(Target->Pixels);
  *Target = Picture();
}

void ComparePictures(const Picture &Expected, const Picture &Actual, UINTN OriginX, UINTN OriginY,
                     TextLine &Differed) {
  if (Expected.Width != Actual.Width || Expected.Height != Actual.Height) {
    Differed.Add("size: expected ")
        .Dec(Expected.Width)
        .Add(" x ")
        .Dec(Expected.Height)
        .Add(" got ")
        .Dec(Actual.Width)
        .Add(" x ")
        .Dec(Actual.Height);
    return;
  }
  UINTN Count = 0;
  TextLine First;
  for (UINTN Y = 0; Y < Expected.Height; ++Y) {
    for (UINTN X = 0; X < Expected.Width; ++X) {
      UINT32 Want = PixelColour(Expected.Pixels[Y * Expected.Width + X]);
      UINT32 Got = PixelColour(Actual.Pixels[Y * Actual.Width + X]);
      if (Want == Got) continue;
      if (++Count <= 3) {
        First.Add(" (")
            .Dec(OriginX + X)
            .Add(',')
            .Dec(OriginY + Y)
            .Add(") expected #")
            .HexDigits(Want, 6)
            .Add(" got #")
            .HexDigits(Got, 6)
            .Add(';');
      }
    }
  }
  if (Count == 0) return;
  Differed.Add("")
      .Dec(Count)
      .Add(" of ")
      .Dec(Expected.Width * Expected.Height)
      .Add(" pixels differ, first:")
      .Add(First.Text());
}
