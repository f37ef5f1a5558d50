#include "sim/uefi/display/UgaDrawDevice.h"

#include <stdexcept>

namespace sim {

namespace {

bool IsSupportedResolution(uint32_t width, uint32_t height) {
  return width != 0 && height != 0 && width <= UgaDrawDevice::kMaxResolution &&
         height <= UgaDrawDevice::kMaxResolution;
}

}  // namespace

UgaDrawDevice::UgaDrawDevice(uint32_t width, uint32_t height, uint32_t colourDepth,
                             uint32_t refreshRate)
    : screen_(width, height), colourDepth_(colourDepth), refreshRate_(refreshRate) {
  if (!IsSupportedResolution(width, height)) {
    throw std::invalid_argument("a UGA screen is 1 to 4096 pixels each way");
  }
  binding_.protocol.GetMode = &UgaDrawDevice::GetMode;
  binding_.protocol.SetMode = &UgaDrawDevice::SetMode;
  binding_.protocol.Blt = &UgaDrawDevice::Blt;
  binding_.owner = this;
}

UgaDrawDevice &UgaDrawDevice::From(EFI_UGA_DRAW_PROTOCOL *self) {
  return *reinterpret_cast<Binding *>(self)->owner;
}

EFI_STATUS EFIAPI UgaDrawDevice::GetMode(EFI_UGA_DRAW_PROTOCOL *self, UINT32 *width,
                                         UINT32 *height, UINT32 *colourDepth,
                                         UINT32 *refreshRate) {
  UgaDrawDevice &device = From(self);
  ++device.getModeCount_;
  if (width == nullptr || height == nullptr || colourDepth == nullptr || refreshRate == nullptr) {
    return EFI_INVALID_PARAMETER;
  }
  if (device.failGetMode_) return EFI_DEVICE_ERROR;
  *width = device.screen_.Width();
  *height = device.screen_.Height();
  *colourDepth = device.colourDepth_;
  *refreshRate = device.refreshRate_;
  return EFI_SUCCESS;
}

EFI_STATUS EFIAPI UgaDrawDevice::SetMode(EFI_UGA_DRAW_PROTOCOL *self, UINT32 width,
                                         UINT32 height, UINT32 colourDepth,
                                         UINT32 refreshRate) {
  UgaDrawDevice &device = From(self);
  device.setModeCalls_.push_back(ModeCall{width, height, colourDepth, refreshRate});
  if (device.failSetMode_) return EFI_DEVICE_ERROR;
  if (!IsSupportedResolution(width, height)) return EFI_UNSUPPORTED;
  device.screen_.Resize(width, height);
  device.colourDepth_ = colourDepth;
  device.refreshRate_ = refreshRate;
  return EFI_SUCCESS;
}

EFI_STATUS EFIAPI UgaDrawDevice::Blt(EFI_UGA_DRAW_PROTOCOL *self, EFI_UGA_PIXEL *buffer,
                                     EFI_UGA_BLT_OPERATION op, UINTN sourceX, UINTN sourceY,
                                     UINTN destinationX, UINTN destinationY, UINTN width,
                                     UINTN height, UINTN delta) {
  UgaDrawDevice &device = From(self);
  return device.blt_.Run(device.screen_, buffer, op, sourceX, sourceY, destinationX,
                         destinationY, width, height, delta);
}

}  // namespace sim
