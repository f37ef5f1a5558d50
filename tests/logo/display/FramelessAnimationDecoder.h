// An animated image decoder whose contexts have no first frame record: the one case the
// decoder double cannot produce. It records what it was given back and draws nothing.
#pragma once

#include <vector>

#include "include/BoardLogoProtocols.h"
#include "sim/uefi/UefiEnvironment.h"

namespace logo_test {

class FramelessAnimationDecoder {
 public:
  FramelessAnimationDecoder();
  ANIMATED_IMAGE_DECODER_PROTOCOL *Protocol() { return &binding_.protocol; }
  void Install(sim::UefiEnvironment &env);

  unsigned Decodes() const { return decodes_; }
  unsigned DrawsAndSteps() const { return drawsAndSteps_; }
  const std::vector<void *> &Released() const { return released_; }
  bool AllReleased() const { return released_.size() == decodes_; }

 private:
  struct Binding {
    ANIMATED_IMAGE_DECODER_PROTOCOL protocol;
    FramelessAnimationDecoder *owner;
  };
  static FramelessAnimationDecoder &From(ANIMATED_IMAGE_DECODER_PROTOCOL *self) {
    return *reinterpret_cast<Binding *>(self)->owner;
  }
  static EFI_STATUS EFIAPI Decode(ANIMATED_IMAGE_DECODER_PROTOCOL *self, VOID *, UINTN, UINTN,
                                  VOID **context);
  static EFI_STATUS EFIAPI Release(ANIMATED_IMAGE_DECODER_PROTOCOL *self, VOID *context);
  static EFI_STATUS EFIAPI Draw(ANIMATED_IMAGE_DECODER_PROTOCOL *self, IMAGE_ANIMATION_STATE *,
                                VOID *);
  static EFI_STATUS EFIAPI Step(ANIMATED_IMAGE_DECODER_PROTOCOL *self, IMAGE_ANIMATION_STATE *,
                                VOID *, UINTN);

  Binding binding_;
  ANIMATED_IMAGE_CONTEXT context_{};
  unsigned decodes_ = 0;
  unsigned drawsAndSteps_ = 0;
  std::vector<void *> released_;
};

}  // namespace logo_test
