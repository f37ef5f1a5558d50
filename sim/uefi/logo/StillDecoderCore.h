// What the three still-image decoder doubles (JPEG, format 4, format 5) share: reading a TIMG
// image and handing its first frame out as a pixel buffer, with the caller's buffer or a pool
// buffer the caller frees, plus the failure switches and the call record.
#pragma once

#include <optional>
#include <vector>

#include "sim/uefi/logo/TestImage.h"
#include "uefi/Uefi.h"

namespace sim {

struct DecodeCall {
  UINTN ImageSize;
  bool CallerBuffer;       // *Pixels was not null on entry
  UINTN CallerBufferSize;  // *PixelsSize on entry
  UINT32 BlendValueIn;     // format 5: the in/out value on entry; 0 for the others
  EFI_STATUS Status;
};

class StillDecoderCore {
 public:
  // The next Decode returns `status` and touches no output.
  void FailNextDecode(EFI_STATUS status) { failNext_ = status; }
  // Decode succeeds, sets width and height, but hands out no pixel buffer (*Pixels stays as
  // it was, *PixelsSize becomes 0).
  void SucceedWithoutPixels(bool enable) { withoutPixels_ = enable; }
  const std::vector<DecodeCall> &Calls() const { return calls_; }

  // Decode semantics common to the three doubles. Unsupported for anything that is not a TIMG
  // image, Volume Corrupted for a TIMG image whose header is inconsistent with its size,
  // Buffer Too Small (with the size needed in *PixelsSize) for a caller buffer that is too
  // small, Out of Resources when the pool buffer cannot be had. Outputs change only on
  // success (and *PixelsSize on Buffer Too Small). `extraOutputsPresent` is false when a
  // decoder-specific output address is null (Invalid Parameter like the others).
  EFI_STATUS Decode(const void *image, UINTN imageSize, VOID **pixels, UINTN *pixelsSize,
                    UINTN *height, UINTN *width, UINT32 blendValueIn = 0,
                    bool extraOutputsPresent = true);

 private:
  EFI_STATUS DecodeChecked(const void *image, UINTN imageSize, VOID **pixels, UINTN *pixelsSize,
                           UINTN *height, UINTN *width, bool extraOutputsPresent);

  std::optional<EFI_STATUS> failNext_;
  bool withoutPixels_ = false;
  std::vector<DecodeCall> calls_;
};

}  // namespace sim
