// FORMAT4_DECODER_PROTOCOL of the simulated board, reading TIMG images (TestImage.h).
#pragma once

#include "include/BoardLogoProtocols.h"
#include "sim/uefi/logo/StillDecoderCore.h"

namespace sim {

class UefiEnvironment;

class Format4DecoderDouble {
 public:
  Format4DecoderDouble();
  Format4DecoderDouble(const Format4DecoderDouble &) = delete;
  Format4DecoderDouble &operator=(const Format4DecoderDouble &) = delete;

  FORMAT4_DECODER_PROTOCOL *Protocol() { return &binding_.protocol; }
  // Installs the protocol on a new handle; returns the handle.
  EFI_HANDLE Install(UefiEnvironment &env);

  const std::vector<DecodeCall> &DecodeCalls() const { return core_.Calls(); }
  void FailNextDecode(EFI_STATUS status) { core_.FailNextDecode(status); }
  void SucceedWithoutPixels(bool enable) { core_.SucceedWithoutPixels(enable); }

 private:
  struct Binding {
    FORMAT4_DECODER_PROTOCOL protocol;
    Format4DecoderDouble *owner;
  };
  static EFI_STATUS EFIAPI Decode(FORMAT4_DECODER_PROTOCOL *self, VOID *image, UINTN imageSize,
                                  VOID **pixels, UINTN *pixelsSize, UINTN *height, UINTN *width);

  Binding binding_;
  StillDecoderCore core_;
};

}  // namespace sim
