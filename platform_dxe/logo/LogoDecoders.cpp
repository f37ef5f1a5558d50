#include "LogoDecoders.h"

#include "../ModuleState.h"
#include "BitmapDecoder.h"
#include "LogoGeometry.h"
#include "LogoGuids.h"

namespace {

// The value the format 5 decoder starts from.
constexpr UINT32 kFormat5BlendValue = 3;

template <typename Protocol>
Protocol *LocateOptional(const EFI_GUID &Guid) {
  VOID *Interface = nullptr;
  if (EFI_ERROR(DxeModule.BootServices->LocateProtocol(&Guid, nullptr, &Interface))) return nullptr;
  return (Protocol *)Interface;
}

// Blt reads Width x Height pixels from the buffer: a decoder that reports more than it
// allocated must not make us read past its buffer.
BOOLEAN PixelBufferHoldsImage(const DecodedImage &Decoded) {
  UINT64 Needed = 0;
  return PixelBufferBytes(Decoded.Width, Decoded.Height, &Needed) && Decoded.PixelsSize >= Needed;
}

EFI_STATUS DecodeAnimated(ANIMATED_IMAGE_DECODER_PROTOCOL *Animated, VOID *Image, UINTN ImageSize,
                          DecodedImage *Decoded) {
  VOID *Context = nullptr;
  EFI_STATUS Status = Animated->Decode(Animated, Image, ImageSize, 0, &Context);
  if (EFI_ERROR(Status)) return Status;
  Decoded->Animation = (ANIMATED_IMAGE_CONTEXT *)Context;
  if (Decoded->Animation != nullptr) {
    Decoded->Width = (UINTN)Decoded->Animation->Width;
    Decoded->Height = (UINTN)Decoded->Animation->Height;
  }
  return EFI_SUCCESS;
}

}  // namespace

void LocateLogoDecoders(LogoDecoders *Decoders) {
  Decoders->Jpeg = LocateOptional<JPEG_DECODER_PROTOCOL>(kJpegDecoderGuid);
  Decoders->Format4 = LocateOptional<FORMAT4_DECODER_PROTOCOL>(kFormat4DecoderGuid);
  Decoders->Format5 = LocateOptional<FORMAT5_DECODER_PROTOCOL>(kFormat5DecoderGuid);
  Decoders->Animated = LocateOptional<ANIMATED_IMAGE_DECODER_PROTOCOL>(kAnimatedDecoderGuid);
}

EFI_STATUS DecodeImageByFormat(const LogoDecoders &Decoders, UINT32 Format, VOID *Image,
                               UINTN ImageSize, DecodedImage *Decoded) {
  *Decoded = DecodedImage{};
  Decoded->BlendValue = kFormat5BlendValue;
  // A source that claims success without handing over any bytes gives the decoders nothing
  // to read.
  if (Image == nullptr) return EFI_INVALID_PARAMETER;
  VOID **Pixels = (VOID **)&Decoded->Pixels;

  EFI_STATUS Status = EFI_UNSUPPORTED;
  switch (Format) {
    case LOGO_FORMAT_BITMAP:
      Status = DecodeBitmap(Image, ImageSize, &Decoded->Pixels, &Decoded->PixelsSize,
                            &Decoded->Height, &Decoded->Width);
      break;
    case LOGO_FORMAT_JPEG:
      if (Decoders.Jpeg != nullptr) {
        UINT32 Ignored = 0;
        Status = Decoders.Jpeg->Decode(Decoders.Jpeg, Image, ImageSize, Pixels,
                                       &Decoded->PixelsSize, &Decoded->Height, &Decoded->Width,
                                       &Ignored);
      }
      break;
    case LOGO_FORMAT_ANIMATED:
      if (Decoders.Animated != nullptr)
        Status = DecodeAnimated(Decoders.Animated, Image, ImageSize, Decoded);
      break;
    case LOGO_FORMAT_FORMAT4:
      if (Decoders.Format4 != nullptr) {
        Status = Decoders.Format4->Decode(Decoders.Format4, Image, ImageSize, Pixels,
                                          &Decoded->PixelsSize, &Decoded->Height,
                                          &Decoded->Width);
      }
      break;
    case LOGO_FORMAT_FORMAT5:
      if (Decoders.Format5 != nullptr) {
        Status = Decoders.Format5->Decode(Decoders.Format5, Image, ImageSize, Pixels,
                                          &Decoded->PixelsSize, &Decoded->Height,
                                          &Decoded->Width, &Decoded->BlendValue,
                                          &Decoded->BlendFlag);
      }
      break;
    default:
      break;
  }

  if (EFI_ERROR(Status)) {
    // A failed decode hands nothing over; whatever the outputs hold is not ours.
    *Decoded = DecodedImage{};
    return Status;
  }
  if (Decoded->Pixels != nullptr && !PixelBufferHoldsImage(*Decoded)) {
    ReleaseDecodedImage(Decoders, Decoded);
    return EFI_UNSUPPORTED;
  }
  return EFI_SUCCESS;
}

void ReleaseDecodedImage(const LogoDecoders &Decoders, DecodedImage *Decoded) {
  if (Decoded->Pixels != nullptr) DxeModule.BootServices->FreePool(Decoded->Pixels);
  Decoded->Pixels = nullptr;
  if (Decoded->Animation != nullptr && Decoders.Animated != nullptr)
    Decoders.Animated->Release(Decoders.Animated, Decoded->Animation);
  Decoded->Animation = nullptr;
}
