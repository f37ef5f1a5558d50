// JPEG_DECODER_PROTOCOL of the simulated board. It decodes TIMG images (TestImage.h), not
// JPEG: what the driver relies on is the contract (arguments, pool ownership, statuses), and
// its location marker scan reads the image bytes itself.
#pragma once

#include "include/BoardLogoProtocols.h"
#include "sim/uefi/logo/StillDecoderCore.h"

namespace sim {

class UefiEnvironment;

class JpegDecoderDouble {
 public:
  JpegDecoderDouble();
  JpegDecoderDouble(const JpegDecoderDouble &) = delete;
  JpegDecoderDouble &operator=(const JpegDecoderDouble &) = delete;

  JPEG_DECODER_PROTOCOL *Protocol() { return &binding_.protocol; }
  // Installs the protocol on a new handle; returns the handle.
  EFI_HANDLE Install(UefiEnvironment &env);

  const std::vector<DecodeCall> &DecodeCalls() const { return core_.Calls(); }
  void FailNextDecode(EFI_STATUS status) { core_.FailNextDecode(status); }
  void SucceedWithoutPixels(bool enable) { core_.SucceedWithoutPixels(enable); }
  // The value Decode leaves in its ignored 32-bit output (when the caller passes one).
  static constexpr UINT32 kUnusedOutput = 0x4A504547;

 private:
  struct Binding {
    JPEG_DECODER_PROTOCOL protocol;
    JpegDecoderDouble *owner;
  };
  static EFI_STATUS EFIAPI Decode(JPEG_DECODER_PROTOCOL *self, VOID *image, UINTN imageSize,
                                  VOID **pixels, UINTN *pixelsSize, UINTN *height, UINTN *width,
                                  UINT32 *unused);

  Binding binding_;
  StillDecoderCore core_;
};

}  // namespace sim
