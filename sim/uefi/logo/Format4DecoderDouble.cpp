#include "sim/uefi/logo/Format4DecoderDouble.h"

#include "sim/uefi/UefiEnvironment.h"
#include "sim/uefi/logo/LogoGuids.h"

namespace sim {

Format4DecoderDouble::Format4DecoderDouble() {
  binding_.protocol.Decode = &Format4DecoderDouble::Decode;
  binding_.owner = this;
}

EFI_HANDLE Format4DecoderDouble::Install(UefiEnvironment &env) {
  return env.InstallProtocolOnNewHandle(kFormat4DecoderProtocolGuid, Protocol());
}

EFI_STATUS EFIAPI Format4DecoderDouble::Decode(FORMAT4_DECODER_PROTOCOL *self, VOID *image,
                                               UINTN imageSize, VOID **pixels, UINTN *pixelsSize,
                                               UINTN *height, UINTN *width) {
  Format4DecoderDouble &decoder = *reinterpret_cast<Binding *>(self)->owner;
  return decoder.core_.Decode(image, imageSize, pixels, pixelsSize, height, width);
}

}  // namespace sim
