#include "sim/uefi/logo/AnimatedDecoderDouble.h"

#include <cstdio>
#include <cstring>

#include "sim/uefi/UefiEnvironment.h"
#include "sim/uefi/logo/LogoGuids.h"
#include "sim/uefi/logo/TestImage.h"

namespace sim {
namespace {

// Marks the decoder's own fields, so a context is recognisable in a memory dump.
constexpr UINT64 kContextSignature = 0x4D494E41474D4954ull;  // "TIMGANIM"

std::string Describe(const char *what, const void *context) {
  char text[128];
  std::snprintf(text, sizeof text, "%s %p", what, context);
  return text;
}

PoolAllocator &Pool() { return UefiEnvironment::Current().Pool(); }

}  // namespace

AnimatedDecoderDouble::AnimatedDecoderDouble() {
  binding_.protocol.Decode = &AnimatedDecoderDouble::Decode;
  binding_.protocol.Release = &AnimatedDecoderDouble::Release;
  binding_.protocol.DrawImage = &AnimatedDecoderDouble::DrawImage;
  binding_.protocol.AnimateStep = &AnimatedDecoderDouble::AnimateStep;
  binding_.owner = this;
}

AnimatedDecoderDouble &AnimatedDecoderDouble::From(ANIMATED_IMAGE_DECODER_PROTOCOL *self) {
  return *reinterpret_cast<Binding *>(self)->owner;
}

EFI_HANDLE AnimatedDecoderDouble::Install(UefiEnvironment &env) {
  return env.InstallProtocolOnNewHandle(kAnimatedDecoderProtocolGuid, Protocol());
}

void AnimatedDecoderDouble::FreeBlocks(void *context, ANIMATED_IMAGE_FRAME *frames,
                                       const std::vector<void *> &pixels) {
  for (void *block : pixels) Pool().Free(block);
  if (frames != nullptr) Pool().Free(frames);
  if (context != nullptr) Pool().Free(context);
}

EFI_STATUS EFIAPI AnimatedDecoderDouble::Decode(ANIMATED_IMAGE_DECODER_PROTOCOL *self, VOID *image,
                                                UINTN imageSize, UINTN reserved, VOID **context) {
  AnimatedDecoderDouble &decoder = From(self);
  DecodeCall call{imageSize, reserved, nullptr, EFI_SUCCESS};
  if (decoder.failNextDecode_) {
    call.Status = *decoder.failNextDecode_;
    decoder.failNextDecode_.reset();
  } else {
    call.Status = decoder.DecodeChecked(image, imageSize, context);
    if (!EFI_ERROR(call.Status)) call.Context = *context;
  }
  decoder.decodeCalls_.push_back(call);
  return call.Status;
}

EFI_STATUS AnimatedDecoderDouble::DecodeChecked(const void *image, UINTN imageSize,
                                                VOID **context) {
  if (image == nullptr || context == nullptr) return EFI_INVALID_PARAMETER;
  TestImageError error;
  std::optional<TestImageView> view = ParseTestImage(image, imageSize, &error);
  if (!view) return error == TestImageError::Corrupt ? EFI_VOLUME_CORRUPTED : EFI_UNSUPPORTED;
  if (withoutContext_) {
    *context = nullptr;
    return EFI_SUCCESS;
  }

  void *block = nullptr;
  ANIMATED_IMAGE_FRAME *frames = nullptr;
  std::vector<void *> pixels;
  auto giveUp = [&]() {
    FreeBlocks(block, frames, pixels);
    return EFI_OUT_OF_RESOURCES;
  };
  if (EFI_ERROR(Pool().Allocate(EfiBootServicesData, sizeof(ANIMATED_IMAGE_CONTEXT), &block))) {
    return giveUp();
  }
  void *frameBlock = nullptr;
  if (EFI_ERROR(Pool().Allocate(EfiBootServicesData,
                                sizeof(ANIMATED_IMAGE_FRAME) * view->frameCount, &frameBlock))) {
    return giveUp();
  }
  frames = static_cast<ANIMATED_IMAGE_FRAME *>(frameBlock);
  for (uint32_t i = 0; i < view->frameCount; ++i) {
    void *frame = nullptr;
    if (EFI_ERROR(Pool().Allocate(EfiBootServicesData, view->FrameBytes(), &frame))) {
      return giveUp();
    }
    std::memcpy(frame, view->Frame(i), view->FrameBytes());
    pixels.push_back(frame);
  }

  for (uint32_t i = 0; i < view->frameCount; ++i) {
    ANIMATED_IMAGE_FRAME &record = frames[i];
    std::memset(&record, 0, sizeof record);
    record.DecoderOwned0[0] = i;
    record.DecoderOwned0[1] =
        i + 1 < view->frameCount ? reinterpret_cast<UINT64>(&frames[i + 1]) : 0;
    record.Pixels = reinterpret_cast<UINT64>(pixels[i]);
    record.DecoderOwned24 = view->FrameBytes();
    record.Animated = view->frameCount > 1 ? view->frameCount : 0;
  }
  auto *header = static_cast<ANIMATED_IMAGE_CONTEXT *>(block);
  std::memset(header, 0, sizeof *header);
  header->DecoderOwned0[0] = kContextSignature;
  header->DecoderOwned0[1] = view->frameCount;
  header->Width = view->width;
  header->Height = view->height;
  header->FirstFrame = reinterpret_cast<UINT64>(frames);

  Decoded decoded{view->width, view->height, view->frameCount, frames, pixels};
  contexts_[block] = decoded;
  released_.erase(block);
  *context = block;
  return EFI_SUCCESS;
}

EFI_STATUS EFIAPI AnimatedDecoderDouble::Release(ANIMATED_IMAGE_DECODER_PROTOCOL *self,
                                                 VOID *context) {
  AnimatedDecoderDouble &decoder = From(self);
  decoder.releaseCalls_.push_back(context);
  auto found = decoder.contexts_.find(context);
  if (found == decoder.contexts_.end()) {
    const char *what = context == nullptr                      ? "Release(NULL)"
                       : decoder.released_.count(context) != 0 ? "double release of context"
                                                               : "release of unknown context";
    decoder.releaseErrors_.push_back(Describe(what, context));
    return EFI_INVALID_PARAMETER;
  }
  FreeBlocks(context, found->second.frames, found->second.pixels);
  decoder.contexts_.erase(found);
  decoder.released_.insert(context);
  return EFI_SUCCESS;
}

AnimatedDecoderDouble::Decoded *AnimatedDecoderDouble::ContextOf(const IMAGE_ANIMATION_STATE *state,
                                                                 const char *operation) {
  if (state == nullptr) {
    contextErrors_.push_back(std::string(operation) + " with a null state");
    return nullptr;
  }
  void *context = reinterpret_cast<void *>(static_cast<uintptr_t>(state->Context));
  auto found = contexts_.find(context);
  if (found == contexts_.end()) {
    const char *what =
        released_.count(context) != 0 ? "with a released context" : "with an unknown context";
    contextErrors_.push_back(Describe((std::string(operation) + " " + what).c_str(), context));
    return nullptr;
  }
  return &found->second;
}

EFI_STATUS AnimatedDecoderDouble::DrawFrame(const Decoded &decoded, uint32_t frame,
                                            const IMAGE_ANIMATION_STATE &state,
                                            VOID *graphicsOutput) {
  auto *gop = static_cast<EFI_GRAPHICS_OUTPUT_PROTOCOL *>(graphicsOutput);
  return gop->Blt(gop, static_cast<EFI_GRAPHICS_OUTPUT_BLT_PIXEL *>(decoded.pixels[frame]),
                  EfiBltBufferToVideo, 0, 0, static_cast<UINTN>(state.X),
                  static_cast<UINTN>(state.Y), decoded.width, decoded.height,
                  UINTN{decoded.width} * sizeof(EFI_GRAPHICS_OUTPUT_BLT_PIXEL));
}

EFI_STATUS EFIAPI AnimatedDecoderDouble::DrawImage(ANIMATED_IMAGE_DECODER_PROTOCOL *self,
                                                   IMAGE_ANIMATION_STATE *state,
                                                   VOID *graphicsOutput) {
  AnimatedDecoderDouble &decoder = From(self);
  DrawCall call{};
  if (state != nullptr) call.State = *state;
  call.GraphicsOutput = graphicsOutput;
  Decoded *decoded = decoder.ContextOf(state, "DrawImage");
  if (decoder.failNextDraw_) {
    call.Status = *decoder.failNextDraw_;
    decoder.failNextDraw_.reset();
  } else if (decoded == nullptr || graphicsOutput == nullptr) {
    call.Status = EFI_INVALID_PARAMETER;
  } else {
    call.Status = decoder.DrawFrame(*decoded, 0, *state, graphicsOutput);
    decoded->nextFrame = 1 % decoded->frameCount;
  }
  decoder.drawCalls_.push_back(call);
  return call.Status;
}

EFI_STATUS EFIAPI AnimatedDecoderDouble::AnimateStep(ANIMATED_IMAGE_DECODER_PROTOCOL *self,
                                                     IMAGE_ANIMATION_STATE *state,
                                                     VOID *graphicsOutput, UINTN reserved) {
  AnimatedDecoderDouble &decoder = From(self);
  StepCall call{};
  if (state != nullptr) call.State = *state;
  call.GraphicsOutput = graphicsOutput;
  call.Reserved = reserved;
  Decoded *decoded = decoder.ContextOf(state, "AnimateStep");
  if (decoded == nullptr || graphicsOutput == nullptr) {
    call.Status = EFI_INVALID_PARAMETER;
  } else if (decoder.stepsBeforeEnd_ && decoded->steps >= *decoder.stepsBeforeEnd_) {
    call.Status = EFI_NOT_FOUND;
  } else {
    call.Frame = decoded->nextFrame;
    call.Status = decoder.DrawFrame(*decoded, decoded->nextFrame, *state, graphicsOutput);
    decoded->nextFrame = (decoded->nextFrame + 1) % decoded->frameCount;
    ++decoded->steps;
  }
  decoder.stepCalls_.push_back(call);
  return call.Status;
}

}  // namespace sim
