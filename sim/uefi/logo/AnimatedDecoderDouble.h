// ANIMATED_IMAGE_DECODER_PROTOCOL of the simulated board, reading TIMG images (TestImage.h;
// the frame count of the header makes a still image or an animation).
//
// Decode allocates from pool a context in the layout the driver reads (ANIMATED_IMAGE_CONTEXT:
// width, height, first frame record), an array of frame records (ANIMATED_IMAGE_FRAME: the
// frame's pixel buffer, and "animated" nonzero when there is more than one frame) and one
// pixel buffer per frame. Release frees all of them. DrawImage draws frame 0 at the state's
// X, Y through the Graphics Output instance it is given (that instance's Blt decides what fits
// on its screen); AnimateStep draws the next frame, cycling through the frames.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "include/BoardLogoProtocols.h"
#include "uefi/Uefi.h"

namespace sim {

class UefiEnvironment;

class AnimatedDecoderDouble {
 public:
  AnimatedDecoderDouble();
  AnimatedDecoderDouble(const AnimatedDecoderDouble &) = delete;
  AnimatedDecoderDouble &operator=(const AnimatedDecoderDouble &) = delete;

  ANIMATED_IMAGE_DECODER_PROTOCOL *Protocol() { return &binding_.protocol; }
  // Installs the protocol on a new handle; returns the handle.
  EFI_HANDLE Install(UefiEnvironment &env);

  // The next Decode returns `status` and touches no output.
  void FailNextDecode(EFI_STATUS status) { failNextDecode_ = status; }
  // Decode succeeds but hands out no context (*Context becomes null).
  void SucceedWithoutPixels(bool enable) { withoutContext_ = enable; }
  // The next DrawImage returns `status` and draws nothing.
  void FailNextDraw(EFI_STATUS status) { failNextDraw_ = status; }
  // After `steps` successful AnimateStep calls on a context, the next ones return Not Found
  // (the animation has ended). Without this an animation loops for ever, so only the console
  // leaving graphics mode ends it.
  void SetStepsBeforeEnd(unsigned steps) { stepsBeforeEnd_ = steps; }

  struct DecodeCall {
    UINTN ImageSize;
    UINTN Reserved;
    void *Context;  // what was handed out (null on failure)
    EFI_STATUS Status;
  };
  struct DrawCall {
    IMAGE_ANIMATION_STATE State;  // a copy, as the caller filled it
    void *GraphicsOutput;
    uint32_t Frame;  // the frame drawn (or that would have been)
    EFI_STATUS Status;
  };
  struct StepCall {
    IMAGE_ANIMATION_STATE State;
    void *GraphicsOutput;
    UINTN Reserved;
    uint32_t Frame;
    EFI_STATUS Status;
  };
  const std::vector<DecodeCall> &DecodeCalls() const { return decodeCalls_; }
  const std::vector<DrawCall> &DrawCalls() const { return drawCalls_; }
  const std::vector<StepCall> &StepCalls() const { return stepCalls_; }
  const std::vector<void *> &ReleaseCalls() const { return releaseCalls_; }

  // Contexts decoded and not yet released.
  size_t LiveContexts() const { return contexts_.size(); }
  // Release of a null, unknown or already released context.
  const std::vector<std::string> &ReleaseErrors() const { return releaseErrors_; }
  // DrawImage or AnimateStep with a null state, or a context that is unknown or released.
  const std::vector<std::string> &ContextErrors() const { return contextErrors_; }

 private:
  struct Binding {
    ANIMATED_IMAGE_DECODER_PROTOCOL protocol;
    AnimatedDecoderDouble *owner;
  };
  struct Decoded {
    uint32_t width;
    uint32_t height;
    uint32_t frameCount;
    ANIMATED_IMAGE_FRAME *frames;
    std::vector<void *> pixels;
    uint32_t nextFrame = 0;
    unsigned steps = 0;
  };

  static AnimatedDecoderDouble &From(ANIMATED_IMAGE_DECODER_PROTOCOL *self);
  static EFI_STATUS EFIAPI Decode(ANIMATED_IMAGE_DECODER_PROTOCOL *self, VOID *image,
                                  UINTN imageSize, UINTN reserved, VOID **context);
  static EFI_STATUS EFIAPI Release(ANIMATED_IMAGE_DECODER_PROTOCOL *self, VOID *context);
  static EFI_STATUS EFIAPI DrawImage(ANIMATED_IMAGE_DECODER_PROTOCOL *self,
                                     IMAGE_ANIMATION_STATE *state, VOID *graphicsOutput);
  static EFI_STATUS EFIAPI AnimateStep(ANIMATED_IMAGE_DECODER_PROTOCOL *self,
                                       IMAGE_ANIMATION_STATE *state, VOID *graphicsOutput,
                                       UINTN reserved);

  EFI_STATUS DecodeChecked(const void *image, UINTN imageSize, VOID **context);
  // The live context the state names, or null (recorded as a context error).
  Decoded *ContextOf(const IMAGE_ANIMATION_STATE *state, const char *operation);
  EFI_STATUS DrawFrame(const Decoded &decoded, uint32_t frame, const IMAGE_ANIMATION_STATE &state,
                       VOID *graphicsOutput);
  static void FreeBlocks(void *context, ANIMATED_IMAGE_FRAME *frames,
                         const std::vector<void *> &pixels);

  Binding binding_;
  std::map<void *, Decoded> contexts_;
  std::set<void *> released_;
  std::optional<EFI_STATUS> failNextDecode_;
  std::optional<EFI_STATUS> failNextDraw_;
  std::optional<unsigned> stepsBeforeEnd_;
  bool withoutContext_ = false;
  std::vector<DecodeCall> decodeCalls_;
  std::vector<DrawCall> drawCalls_;
  std::vector<StepCall> stepCalls_;
  std::vector<void *> releaseCalls_;
  std::vector<std::string> releaseErrors_;
  std::vector<std::string> contextErrors_;
};

}  // namespace sim
