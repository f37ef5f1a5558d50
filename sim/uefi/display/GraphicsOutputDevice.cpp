#include "sim/uefi/display/GraphicsOutputDevice.h"

#include <stdexcept>

#include "sim/uefi/UefiEnvironment.h"

namespace sim {

GraphicsOutputDevice::GraphicsOutputDevice(std::vector<Resolution> modes, uint32_t currentMode)
    : modes_(std::move(modes)) {
  if (!modes_.empty() && currentMode >= modes_.size()) {
    throw std::invalid_argument("the current mode must be one of the modes");
  }
  binding_.protocol.QueryMode = &GraphicsOutputDevice::QueryMode;
  binding_.protocol.SetMode = &GraphicsOutputDevice::SetMode;
  binding_.protocol.Blt = &GraphicsOutputDevice::Blt;
  binding_.protocol.Mode = &mode_;
  binding_.owner = this;
  mode_ = EFI_GRAPHICS_OUTPUT_PROTOCOL_MODE{};
  mode_.MaxMode = static_cast<UINT32>(modes_.size());
  mode_.Info = &info_;
  mode_.SizeOfInfo = sizeof info_;
  // No linear framebuffer is offered: a caller can only draw through Blt.
  mode_.FrameBufferBase = 0;
  mode_.FrameBufferSize = 0;
  EnterMode(modes_.empty() ? 0 : currentMode);
}

GraphicsOutputDevice &GraphicsOutputDevice::From(EFI_GRAPHICS_OUTPUT_PROTOCOL *self) {
  return *reinterpret_cast<Binding *>(self)->owner;
}

void GraphicsOutputDevice::ClearCallRecords() {
  queryModeCalls_.clear();
  setModeCalls_.clear();
  blt_.ClearCalls();
}

EFI_GRAPHICS_OUTPUT_MODE_INFORMATION GraphicsOutputDevice::InfoFor(uint32_t modeNumber) const {
  EFI_GRAPHICS_OUTPUT_MODE_INFORMATION info{};
  info.Version = 0;
  if (modeNumber < modes_.size()) {
    info.HorizontalResolution = modes_[modeNumber].Width;
    info.VerticalResolution = modes_[modeNumber].Height;
  }
  info.PixelFormat = PixelBltOnly;
  info.PixelsPerScanLine = info.HorizontalResolution;
  return info;
}

void GraphicsOutputDevice::EnterMode(uint32_t modeNumber) {
  mode_.Mode = modeNumber;
  info_ = InfoFor(modeNumber);
  screen_.Resize(info_.HorizontalResolution, info_.VerticalResolution);
}

EFI_STATUS EFIAPI GraphicsOutputDevice::QueryMode(EFI_GRAPHICS_OUTPUT_PROTOCOL *self,
                                                  UINT32 modeNumber, UINTN *sizeOfInfo,
                                                  EFI_GRAPHICS_OUTPUT_MODE_INFORMATION **info) {
  GraphicsOutputDevice &device = From(self);
  device.queryModeCalls_.push_back(modeNumber);
  if (sizeOfInfo == nullptr || info == nullptr || modeNumber >= device.modes_.size()) {
    return EFI_INVALID_PARAMETER;
  }
  if (device.failingQueryModes_.count(modeNumber) != 0) return EFI_DEVICE_ERROR;
  // The record is the caller's to free, so it comes from the pool the tracker watches.
  void *record = nullptr;
  EFI_STATUS status = UefiEnvironment::Current().Pool().Allocate(
      EfiBootServicesData, sizeof(EFI_GRAPHICS_OUTPUT_MODE_INFORMATION), &record);
  if (status != EFI_SUCCESS) return EFI_OUT_OF_RESOURCES;
  *static_cast<EFI_GRAPHICS_OUTPUT_MODE_INFORMATION *>(record) = device.InfoFor(modeNumber);
  *info = static_cast<EFI_GRAPHICS_OUTPUT_MODE_INFORMATION *>(record);
  *sizeOfInfo = sizeof(EFI_GRAPHICS_OUTPUT_MODE_INFORMATION);
  return EFI_SUCCESS;
}

EFI_STATUS EFIAPI GraphicsOutputDevice::SetMode(EFI_GRAPHICS_OUTPUT_PROTOCOL *self,
                                                UINT32 modeNumber) {
  GraphicsOutputDevice &device = From(self);
  device.setModeCalls_.push_back(modeNumber);
  if (device.nextSetModeFailure_ != EFI_SUCCESS) {
    EFI_STATUS status = device.nextSetModeFailure_;
    device.nextSetModeFailure_ = EFI_SUCCESS;
    return status;
  }
  if (modeNumber >= device.modes_.size()) return EFI_UNSUPPORTED;
  // Setting a mode clears the screen, also when it is the current mode.
  device.EnterMode(modeNumber);
  return EFI_SUCCESS;
}

EFI_STATUS EFIAPI GraphicsOutputDevice::Blt(EFI_GRAPHICS_OUTPUT_PROTOCOL *self,
                                            EFI_GRAPHICS_OUTPUT_BLT_PIXEL *buffer,
                                            EFI_GRAPHICS_OUTPUT_BLT_OPERATION op, UINTN sourceX,
                                            UINTN sourceY, UINTN destinationX,
                                            UINTN destinationY, UINTN width, UINTN height,
                                            UINTN delta) {
  GraphicsOutputDevice &device = From(self);
  return device.blt_.Run(device.screen_, buffer, op, sourceX, sourceY, destinationX,
                         destinationY, width, height, delta);
}

}  // namespace sim
