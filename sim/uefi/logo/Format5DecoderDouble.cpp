#include "sim/uefi/logo/Format5DecoderDouble.h"

#include "sim/uefi/UefiEnvironment.h"
#include "sim/uefi/logo/LogoGuids.h"

namespace sim {

Format5DecoderDouble::Format5DecoderDouble() {
  binding_.protocol.Decode = &Format5DecoderDouble::Decode;
  binding_.protocol.Blend = &Format5DecoderDouble::Blend;
  binding_.owner = this;
}

Format5DecoderDouble &Format5DecoderDouble::From(FORMAT5_DECODER_PROTOCOL *self) {
  return *reinterpret_cast<Binding *>(self)->owner;
}

EFI_HANDLE Format5DecoderDouble::Install(UefiEnvironment &env) {
  return env.InstallProtocolOnNewHandle(kFormat5DecoderProtocolGuid, Protocol());
}

EFI_STATUS EFIAPI Format5DecoderDouble::Decode(FORMAT5_DECODER_PROTOCOL *self, VOID *image,
                                               UINTN imageSize, VOID **pixels, UINTN *pixelsSize,
                                               UINTN *height, UINTN *width, UINT32 *blendValue,
                                               UINT8 *blendFlag) {
  Format5DecoderDouble &decoder = From(self);
  const bool extrasPresent = blendValue != nullptr && blendFlag != nullptr;
  EFI_STATUS status = decoder.core_.Decode(image, imageSize, pixels, pixelsSize, height, width,
                                           blendValue != nullptr ? *blendValue : 0, extrasPresent);
  if (EFI_ERROR(status)) return status;
  *blendFlag = decoder.blendFlag_ ? 1 : 0;
  if (decoder.blendValueOut_) *blendValue = *decoder.blendValueOut_;
  return status;
}

EFI_STATUS EFIAPI Format5DecoderDouble::Blend(FORMAT5_DECODER_PROTOCOL *self, VOID *pixels,
                                              UINTN pixelsSize, VOID *background,
                                              UINTN backgroundSize, UINT32 value) {
  Format5DecoderDouble &decoder = From(self);
  BlendCall call{pixelsSize, backgroundSize, value, EFI_SUCCESS};
  if (decoder.failNextBlend_) {
    call.Status = *decoder.failNextBlend_;
    decoder.failNextBlend_.reset();
  } else if (pixels == nullptr || background == nullptr || pixelsSize != backgroundSize ||
             pixelsSize % sizeof(EFI_GRAPHICS_OUTPUT_BLT_PIXEL) != 0) {
    call.Status = EFI_INVALID_PARAMETER;
  } else {
    const auto *image = static_cast<const UINT8 *>(pixels);
    auto *screen = static_cast<UINT8 *>(background);
    for (UINTN i = 0; i < pixelsSize; ++i) {
      screen[i] = static_cast<UINT8>((unsigned{image[i]} + screen[i]) / 2);
    }
  }
  decoder.blendCalls_.push_back(call);
  return call.Status;
}

}  // namespace sim
