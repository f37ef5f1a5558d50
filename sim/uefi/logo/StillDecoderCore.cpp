#include "sim/uefi/logo/StillDecoderCore.h"

#include <cstring>

#include "sim/uefi/UefiEnvironment.h"

namespace sim {

EFI_STATUS StillDecoderCore::Decode(const void *image, UINTN imageSize, VOID **pixels,
                                    UINTN *pixelsSize, UINTN *height, UINTN *width,
                                    UINT32 blendValueIn, bool extraOutputsPresent) {
  DecodeCall call{};
  call.ImageSize = imageSize;
  call.CallerBuffer = pixels != nullptr && *pixels != nullptr;
  call.CallerBufferSize = pixelsSize != nullptr ? *pixelsSize : 0;
  call.BlendValueIn = blendValueIn;
  if (failNext_) {
    call.Status = *failNext_;
    failNext_.reset();
  } else {
    call.Status =
        DecodeChecked(image, imageSize, pixels, pixelsSize, height, width, extraOutputsPresent);
  }
  calls_.push_back(call);
  return call.Status;
}

EFI_STATUS StillDecoderCore::DecodeChecked(const void *image, UINTN imageSize, VOID **pixels,
                                           UINTN *pixelsSize, UINTN *height, UINTN *width,
                                           bool extraOutputsPresent) {
  if (!extraOutputsPresent || image == nullptr || pixels == nullptr || pixelsSize == nullptr ||
      height == nullptr || width == nullptr) {
    return EFI_INVALID_PARAMETER;
  }
  TestImageError error;
  std::optional<TestImageView> view = ParseTestImage(image, imageSize, &error);
  if (!view) return error == TestImageError::Corrupt ? EFI_VOLUME_CORRUPTED : EFI_UNSUPPORTED;

  const size_t needed = view->FrameBytes();
  if (withoutPixels_) {
    *pixelsSize = 0;
  } else if (*pixels != nullptr) {
    if (*pixelsSize < needed) {
      *pixelsSize = needed;
      return EFI_BUFFER_TOO_SMALL;
    }
    std::memcpy(*pixels, view->Frame(0), needed);
    *pixelsSize = needed;
  } else {
    void *buffer = nullptr;
    if (EFI_ERROR(
            UefiEnvironment::Current().Pool().Allocate(EfiBootServicesData, needed, &buffer))) {
      return EFI_OUT_OF_RESOURCES;
    }
    std::memcpy(buffer, view->Frame(0), needed);
    *pixels = buffer;
    *pixelsSize = needed;
  }
  *width = view->width;
  *height = view->height;
  return EFI_SUCCESS;
}

}  // namespace sim
