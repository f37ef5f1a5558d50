// Block transfers between a caller's pixel buffer and a framebuffer, shared by the Graphics
// Output and UGA Draw devices (their four operations have the same numbers and meaning).
#pragma once

#include <vector>

#include "sim/uefi/display/Framebuffer.h"
#include "uefi/GraphicsOutput.h"

namespace sim {

// One Blt as a caller made it, and what the device answered.
struct BltCall {
  EFI_GRAPHICS_OUTPUT_BLT_OPERATION Op;
  UINTN SourceX, SourceY, DestinationX, DestinationY, Width, Height, Delta;
  EFI_STATUS Status;
};

// Performs one operation on `screen`:
//  - fill: buffer[0] into the screen rectangle at the destination;
//  - video to buffer: the screen rectangle at the source into the buffer at the destination;
//  - buffer to video: the buffer rectangle at the source onto the screen at the destination;
//  - video to video: one screen rectangle onto another (they may overlap).
// Delta is the byte length of a buffer row, 0 meaning Width pixels.
// Invalid Parameter, with nothing written, for an operation of 4 or more, a null buffer where
// one is needed, a zero width or height, any screen rectangle not wholly on the screen, a
// buffer rectangle wider than a buffer row, or a buffer offset that does not fit in UINTN.
EFI_STATUS BlockTransfer(Framebuffer &screen, EFI_GRAPHICS_OUTPUT_BLT_PIXEL *buffer,
                         EFI_GRAPHICS_OUTPUT_BLT_OPERATION op, UINTN sourceX, UINTN sourceY,
                         UINTN destinationX, UINTN destinationY, UINTN width, UINTN height,
                         UINTN delta);

// The Blt entry of a display device: runs BlockTransfer on the device's screen unless a
// failure was injected for this call, and records every call with its answer.
class RecordedBlt {
 public:
  EFI_STATUS Run(Framebuffer &screen, EFI_GRAPHICS_OUTPUT_BLT_PIXEL *buffer,
                 EFI_GRAPHICS_OUTPUT_BLT_OPERATION op, UINTN sourceX, UINTN sourceY,
                 UINTN destinationX, UINTN destinationY, UINTN width, UINTN height, UINTN delta);
  // The next call returns `status` and draws nothing.
  void FailNext(EFI_STATUS status) { nextFailure_ = status; }
  const std::vector<BltCall> &Calls() const { return calls_; }
  void ClearCalls() { calls_.clear(); }

 private:
  std::vector<BltCall> calls_;
  EFI_STATUS nextFailure_ = EFI_SUCCESS;
};

}  // namespace sim
