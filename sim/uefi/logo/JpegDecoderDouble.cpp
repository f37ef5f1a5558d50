#include "sim/uefi/logo/JpegDecoderDouble.h"

#include "sim/uefi/UefiEnvironment.h"
#include "sim/uefi/logo/LogoGuids.h"

namespace sim {

JpegDecoderDouble::JpegDecoderDouble() {
  binding_.protocol.Decode = &JpegDecoderDouble::Decode;
  binding_.owner = this;
}

EFI_HANDLE JpegDecoderDouble::Install(UefiEnvironment &env) {
  return env.InstallProtocolOnNewHandle(kJpegDecoderProtocolGuid, Protocol());
}

EFI_STATUS EFIAPI JpegDecoderDouble::Decode(JPEG_DECODER_PROTOCOL *self, VOID *image,
                                            UINTN imageSize, VOID **pixels, UINTN *pixelsSize,
                                            UINTN *height, UINTN *width, UINT32 *unused) {
  JpegDecoderDouble &decoder = *reinterpret_cast<Binding *>(self)->owner;
  EFI_STATUS status = decoder.core_.Decode(image, imageSize, pixels, pixelsSize, height, width);
  if (!EFI_ERROR(status) && unused != nullptr) *unused = kUnusedOutput;
  return status;
}

}  // namespace sim
