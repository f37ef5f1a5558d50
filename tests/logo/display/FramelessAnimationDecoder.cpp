#include "tests/logo/display/FramelessAnimationDecoder.h"

#include <gtest/gtest.h>

namespace logo_test {

FramelessAnimationDecoder::FramelessAnimationDecoder() {
  binding_.protocol = {Decode, Release, Draw, Step};
  binding_.owner = this;
  context_.Width = 40;
  context_.Height = 30;
  context_.FirstFrame = 0;
}

void FramelessAnimationDecoder::Install(sim::UefiEnvironment &env) {
  const EFI_GUID guid = ANIMATED_IMAGE_DECODER_PROTOCOL_GUID;
  ASSERT_NE(env.InstallProtocolOnNewHandle(guid, Protocol()), nullptr);
}

EFI_STATUS EFIAPI FramelessAnimationDecoder::Decode(ANIMATED_IMAGE_DECODER_PROTOCOL *self, VOID *,
                                                    UINTN, UINTN, VOID **context) {
  FramelessAnimationDecoder &decoder = From(self);
  ++decoder.decodes_;
  *context = &decoder.context_;
  return EFI_SUCCESS;
}

EFI_STATUS EFIAPI FramelessAnimationDecoder::Release(ANIMATED_IMAGE_DECODER_PROTOCOL *self,
                                                     VOID *context) {
  From(self).released_.push_back(context);
  return EFI_SUCCESS;
}

EFI_STATUS EFIAPI FramelessAnimationDecoder::Draw(ANIMATED_IMAGE_DECODER_PROTOCOL *self,
                                                  IMAGE_ANIMATION_STATE *, VOID *) {
  ++From(self).drawsAndSteps_;
  return EFI_SUCCESS;
}

EFI_STATUS EFIAPI FramelessAnimationDecoder::Step(ANIMATED_IMAGE_DECODER_PROTOCOL *self,
                                                  IMAGE_ANIMATION_STATE *, VOID *, UINTN) {
  ++From(self).drawsAndSteps_;
  return EFI_NOT_FOUND;
}

}  // namespace logo_test
