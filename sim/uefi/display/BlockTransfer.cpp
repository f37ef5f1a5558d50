#include "sim/uefi/display/BlockTransfer.h"

#include <cstring>

namespace sim {

namespace {

constexpr UINTN kPixelBytes = sizeof(EFI_GRAPHICS_OUTPUT_BLT_PIXEL);

// Written as a subtraction so that x + width can never wrap around past the edge.
bool FitsOnScreen(const Framebuffer &screen, UINTN x, UINTN y, UINTN width, UINTN height) {
  return x <= screen.Width() && width <= screen.Width() - x && y <= screen.Height() &&
         height <= screen.Height() - y;
}

// The caller's buffer is addressed by (x, y) with rows of `delta` bytes. Its size is unknown
// here, but the rectangle must at least fit in a row and its last byte must be addressable.
bool BufferRectIsAddressable(UINTN x, UINTN y, UINTN width, UINTN height, UINTN delta) {
  UINTN rowEnd, lastRow, lastRowStart, end;
  if (__builtin_add_overflow(x, width, &rowEnd) ||
      __builtin_mul_overflow(rowEnd, kPixelBytes, &rowEnd) || rowEnd > delta) {
    return false;
  }
  return !__builtin_add_overflow(y, height - 1, &lastRow) &&
         !__builtin_mul_overflow(lastRow, delta, &lastRowStart) &&
         !__builtin_add_overflow(lastRowStart, rowEnd, &end);
}

EFI_GRAPHICS_OUTPUT_BLT_PIXEL *BufferRow(EFI_GRAPHICS_OUTPUT_BLT_PIXEL *buffer, UINTN delta,
                                         UINTN x, UINTN y) {
  return reinterpret_cast<EFI_GRAPHICS_OUTPUT_BLT_PIXEL *>(reinterpret_cast<UINT8 *>(buffer) +
                                                           y * delta) +
         x;
}

EFI_GRAPHICS_OUTPUT_BLT_PIXEL *ScreenRow(Framebuffer &screen, UINTN x, UINTN y) {
  return screen.Pixels() + y * screen.Width() + x;
}

}  // namespace

EFI_STATUS BlockTransfer(Framebuffer &screen, EFI_GRAPHICS_OUTPUT_BLT_PIXEL *buffer,
                         EFI_GRAPHICS_OUTPUT_BLT_OPERATION op, UINTN sourceX, UINTN sourceY,
                         UINTN destinationX, UINTN destinationY, UINTN width, UINTN height,
                         UINTN delta) {
  if (op >= EfiGraphicsOutputBltOperationMax || width == 0 || height == 0) {
    return EFI_INVALID_PARAMETER;
  }
  if (op != EfiBltVideoToVideo && buffer == nullptr) return EFI_INVALID_PARAMETER;
  if (delta == 0 && __builtin_mul_overflow(width, kPixelBytes, &delta)) {
    return EFI_INVALID_PARAMETER;
  }
  const UINTN rowBytes = width * kPixelBytes;  // cannot overflow once a rectangle fits on screen

  switch (op) {
    case EfiBltVideoFill: {
      if (!FitsOnScreen(screen, destinationX, destinationY, width, height)) {
        return EFI_INVALID_PARAMETER;
      }
      const EFI_GRAPHICS_OUTPUT_BLT_PIXEL colour = buffer[0];
      for (UINTN row = 0; row < height; ++row) {
        EFI_GRAPHICS_OUTPUT_BLT_PIXEL *target = ScreenRow(screen, destinationX, destinationY + row);
        for (UINTN column = 0; column < width; ++column) target[column] = colour;
      }
      return EFI_SUCCESS;
    }
    case EfiBltVideoToBltBuffer:
      if (!FitsOnScreen(screen, sourceX, sourceY, width, height) ||
          !BufferRectIsAddressable(destinationX, destinationY, width, height, delta)) {
        return EFI_INVALID_PARAMETER;
      }
      for (UINTN row = 0; row < height; ++row) {
        std::memcpy(BufferRow(buffer, delta, destinationX, destinationY + row),
                    ScreenRow(screen, sourceX, sourceY + row), rowBytes);
      }
      return EFI_SUCCESS;
    case EfiBltBufferToVideo:
      if (!FitsOnScreen(screen, destinationX, destinationY, width, height) ||
          !BufferRectIsAddressable(sourceX, sourceY, width, height, delta)) {
        return EFI_INVALID_PARAMETER;
      }
      for (UINTN row = 0; row < height; ++row) {
        std::memcpy(ScreenRow(screen, destinationX, destinationY + row),
                    BufferRow(buffer, delta, sourceX, sourceY + row), rowBytes);
      }
      return EFI_SUCCESS;
    default:  // EfiBltVideoToVideo
      if (!FitsOnScreen(screen, sourceX, sourceY, width, height) ||
          !FitsOnScreen(screen, destinationX, destinationY, width, height)) {
        return EFI_INVALID_PARAMETER;
      }
      // Overlapping rectangles: copy rows in the order that reads each source row before it
      // is overwritten; memmove handles the overlap within a row.
      if (destinationY <= sourceY) {
        for (UINTN row = 0; row < height; ++row) {
          std::memmove(ScreenRow(screen, destinationX, destinationY + row),
                       ScreenRow(screen, sourceX, sourceY + row), rowBytes);
        }
      } else {
        for (UINTN row = height; row-- > 0;) {
          std::memmove(ScreenRow(screen, destinationX, destinationY + row),
                       ScreenRow(screen, sourceX, sourceY + row), rowBytes);
        }
      }
      return EFI_SUCCESS;
  }
}

}  // namespace sim

namespace sim {

EFI_STATUS RecordedBlt::Run(Framebuffer &screen, EFI_GRAPHICS_OUTPUT_BLT_PIXEL *buffer,
                            EFI_GRAPHICS_OUTPUT_BLT_OPERATION op, UINTN sourceX, UINTN sourceY,
                            UINTN destinationX, UINTN destinationY, UINTN width, UINTN height,
                            UINTN delta) {
  EFI_STATUS status = nextFailure_;
  nextFailure_ = EFI_SUCCESS;
  if (status == EFI_SUCCESS) {
    status = BlockTransfer(screen, buffer, op, sourceX, sourceY, destinationX, destinationY,
                           width, height, delta);
  }
  calls_.push_back(
      BltCall{op, sourceX, sourceY, destinationX, destinationY, width, height, delta, status});
  return status;
}

}  // namespace sim
