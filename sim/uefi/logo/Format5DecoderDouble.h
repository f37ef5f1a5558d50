// FORMAT5_DECODER_PROTOCOL of the simulated board, reading TIMG images (TestImage.h; the
// location marker words of a format 5 image sit at byte offsets 8 and 10 of the header).
// Blend averages each byte of every pixel of the image into the background:
// background = (image + background) / 2.
#pragma once

#include <optional>

#include "include/BoardLogoProtocols.h"
#include "sim/uefi/logo/StillDecoderCore.h"

namespace sim {

class UefiEnvironment;

class Format5DecoderDouble {
 public:
  Format5DecoderDouble();
  Format5DecoderDouble(const Format5DecoderDouble &) = delete;
  Format5DecoderDouble &operator=(const Format5DecoderDouble &) = delete;

  FORMAT5_DECODER_PROTOCOL *Protocol() { return &binding_.protocol; }
  // Installs the protocol on a new handle; returns the handle.
  EFI_HANDLE Install(UefiEnvironment &env);

  const std::vector<DecodeCall> &DecodeCalls() const { return core_.Calls(); }
  void FailNextDecode(EFI_STATUS status) { core_.FailNextDecode(status); }
  void SucceedWithoutPixels(bool enable) { core_.SucceedWithoutPixels(enable); }
  // What a successful Decode reports in its blend flag output (default: no blending).
  void SetBlendFlag(bool blend) { blendFlag_ = blend; }
  // What a successful Decode leaves in the 32-bit in/out value; by default it is left as given.
  void SetBlendValueOut(UINT32 value) { blendValueOut_ = value; }

  struct BlendCall {
    UINTN PixelsSize;
    UINTN BackgroundSize;
    UINT32 Value;
    EFI_STATUS Status;
  };
  const std::vector<BlendCall> &BlendCalls() const { return blendCalls_; }
  // The next Blend returns `status` and leaves the background as it is.
  void FailNextBlend(EFI_STATUS status) { failNextBlend_ = status; }

 private:
  struct Binding {
    FORMAT5_DECODER_PROTOCOL protocol;
    Format5DecoderDouble *owner;
  };
  static Format5DecoderDouble &From(FORMAT5_DECODER_PROTOCOL *self);
  static EFI_STATUS EFIAPI Decode(FORMAT5_DECODER_PROTOCOL *self, VOID *image, UINTN imageSize,
                                  VOID **pixels, UINTN *pixelsSize, UINTN *height, UINTN *width,
                                  UINT32 *blendValue, UINT8 *blendFlag);
  static EFI_STATUS EFIAPI Blend(FORMAT5_DECODER_PROTOCOL *self, VOID *pixels, UINTN pixelsSize,
                                 VOID *background, UINTN backgroundSize, UINT32 value);

  Binding binding_;
  StillDecoderCore core_;
  bool blendFlag_ = false;
  std::optional<UINT32> blendValueOut_;
  std::optional<EFI_STATUS> failNextBlend_;
  std::vector<BlendCall> blendCalls_;
};

}  // namespace sim
