// Drawing one decoded logo image: straight copies, blends and animations.
#include "../ModuleState.h"
#include "../PlatformServices.h"
#include "LogoGeometry.h"
#include "LogoScreen.h"

namespace {

// Pause between animation steps, in microseconds.
constexpr UINTN kAnimationStepPause = 1000;

EFI_STATUS CopyToScreen(LogoScreen &Screen, EFI_GRAPHICS_OUTPUT_BLT_PIXEL *Pixels, UINT64 X,
                        UINT64 Y, UINT64 Width, UINT64 Height) {
  const UINTN Delta = (UINTN)Width * sizeof(EFI_GRAPHICS_OUTPUT_BLT_PIXEL);
  if (Screen.Gop != nullptr)
    return Screen.Gop->Blt(Screen.Gop, Pixels, EfiBltBufferToVideo, 0, 0, X, Y, Width, Height, Delta);
  return Screen.Uga->Blt(Screen.Uga, Pixels, EfiUgaBltBufferToVideo, 0, 0, X, Y, Width, Height, Delta);
}

EFI_STATUS CopyFromScreen(LogoScreen &Screen, EFI_GRAPHICS_OUTPUT_BLT_PIXEL *Pixels, UINT64 X,
                          UINT64 Y, UINT64 Width, UINT64 Height) {
  const UINTN Delta = (UINTN)Width * sizeof(EFI_GRAPHICS_OUTPUT_BLT_PIXEL);
  if (Screen.Gop != nullptr)
    return Screen.Gop->Blt(Screen.Gop, Pixels, EfiBltVideoToBltBuffer, X, Y, 0, 0, Width, Height, Delta);
  return Screen.Uga->Blt(Screen.Uga, Pixels, EfiUgaVideoToBltBuffer, X, Y, 0, 0, Width, Height, Delta);
}

// Replaces the image's pixels by the screen under them blended with the image. The pixels
// are left alone when the screen cannot be read, so nothing undefined is ever drawn.
EFI_STATUS BlendOntoScreen(LogoScreen &Screen, const LogoDecoders &Decoders, DecodedImage *Image,
                           UINT64 X, UINT64 Y) {
  EFI_BOOT_SERVICES *Bs = DxeModule.BootServices;
  auto *Background = (EFI_GRAPHICS_OUTPUT_BLT_PIXEL *)AllocatePoolBuffer(Image->PixelsSize);
  if (Background == nullptr) return EFI_OUT_OF_RESOURCES;
  EFI_STATUS Status = CopyFromScreen(Screen, Background, X, Y, Image->Width, Image->Height);
  if (EFI_ERROR(Status)) {
    Bs->FreePool(Background);
    return Status;
  }
  Decoders.Format5->Blend(Decoders.Format5, Image->Pixels, Image->PixelsSize, Background,
                          Image->PixelsSize, Image->BlendValue);
  Bs->FreePool(Image->Pixels);
  Image->Pixels = Background;
  return EFI_SUCCESS;
}

EFI_STATUS Animate(LogoScreen &Screen, const LogoDecoders &Decoders, ANIMATED_IMAGE_CONTEXT *Context,
                   UINT64 X, UINT64 Y, BOOLEAN *Drawn) {
  ANIMATED_IMAGE_DECODER_PROTOCOL *Decoder = Decoders.Animated;
  IMAGE_ANIMATION_STATE State = {};
  State.Context = (UINT64)(UINTN)Context;
  State.ScreenWidth = Screen.Width;
  State.ScreenHeight = Screen.Height;
  State.X = X;
  State.Y = Y;
  State.One = 1;

  const auto *Frame = (const ANIMATED_IMAGE_FRAME *)(UINTN)Context->FirstFrame;
  if (Frame->Animated == 0) {
    *Drawn = TRUE;
    return Decoder->DrawImage(Decoder, &State, Screen.Gop);
  }
  // Runs until the console is switched to text (by whoever runs during the steps) or the
  // decoder has no further step. A console mode that cannot be read ends it too.
  EFI_STATUS Status = EFI_SUCCESS;
  for (;;) {
    EFI_CONSOLE_CONTROL_SCREEN_MODE Mode = EfiConsoleControlScreenText;
    if (EFI_ERROR(Screen.ConsoleControl->GetMode(Screen.ConsoleControl, &Mode, nullptr, nullptr)) ||
        Mode == EfiConsoleControlScreenText)
      break;
    *Drawn = TRUE;
    Status = Decoder->AnimateStep(Decoder, &State, Screen.Gop, 0);
    if (EFI_ERROR(Status)) break;
    DxeModule.BootServices->Stall(kAnimationStepPause);
  }
  return Status;
}

}  // namespace

void ScreenBounds(const LogoScreen &Screen, UINT64 *Width, UINT64 *Height) {
  *Width = 0;
  *Height = 0;
  if (Screen.Gop != nullptr) {
    if (Screen.Gop->Mode == nullptr || Screen.Gop->Mode->Info == nullptr) return;
    *Width = Screen.Gop->Mode->Info->HorizontalResolution;
    *Height = Screen.Gop->Mode->Info->VerticalResolution;
    return;
  }
  *Width = Screen.UgaWidth;
  *Height = Screen.UgaHeight;
}

EFI_STATUS DrawDecodedImage(LogoScreen &Screen, const LogoDecoders &Decoders, DecodedImage *Image,
                            UINT64 X, UINT64 Y, BOOLEAN *Drawn) {
  *Drawn = FALSE;
  UINT64 ScreenWidth = 0, ScreenHeight = 0;
  ScreenBounds(Screen, &ScreenWidth, &ScreenHeight);
  const BOOLEAN Fits = FitsOnScreen(X, Y, Image->Width, Image->Height, ScreenWidth, ScreenHeight);

  if (Image->Animation != nullptr) {
    // Animations draw through Graphics Output only, and need a first frame to start from.
    EFI_STATUS Status = EFI_SUCCESS;
    if (Fits && Screen.Gop != nullptr && Decoders.Animated != nullptr &&
        Image->Animation->FirstFrame != 0)
      Status = Animate(Screen, Decoders, Image->Animation, X, Y, Drawn);
    ReleaseDecodedImage(Decoders, Image);
    return Status;
  }

  if (Image->Pixels == nullptr || !Fits) return EFI_SUCCESS;
  *Drawn = TRUE;
  if (Image->BlendFlag != 0 && Decoders.Format5 != nullptr) {
    EFI_STATUS Status = BlendOntoScreen(Screen, Decoders, Image, X, Y);
    if (EFI_ERROR(Status)) return Status;
  }
  return CopyToScreen(Screen, Image->Pixels, X, Y, Image->Width, Image->Height);
}
