// A Graphics Output device with a list of modes and a real framebuffer behind Blt. The mode
// reports PixelBltOnly and no framebuffer address: everything a caller draws goes through Blt,
// which never writes outside the screen.
#pragma once

#include <cstdint>
#include <set>
#include <vector>

#include "sim/uefi/display/BlockTransfer.h"
#include "sim/uefi/display/DisplayDevicePath.h"
#include "sim/uefi/display/Framebuffer.h"
#include "uefi/GraphicsOutput.h"

namespace sim {

class GraphicsOutputDevice {
 public:
  using BltCall = sim::BltCall;

  // Mode n has resolution modes[n]; the device starts in `currentMode` with a black screen.
  // An empty list gives a device with MaxMode 0 and a 0 x 0 screen.
  explicit GraphicsOutputDevice(std::vector<Resolution> modes, uint32_t currentMode = 0);
  GraphicsOutputDevice(const GraphicsOutputDevice &) = delete;
  GraphicsOutputDevice &operator=(const GraphicsOutputDevice &) = delete;

  EFI_GRAPHICS_OUTPUT_PROTOCOL *Protocol() { return &binding_.protocol; }
  // A device path for the handle this device sits on (ACPI root bridge, PCI device, end).
  EFI_DEVICE_PATH_PROTOCOL *DevicePath() { return devicePath_.Path(); }

  Framebuffer &Screen() { return screen_; }
  const Framebuffer &Screen() const { return screen_; }
  uint32_t Width() const { return screen_.Width(); }
  uint32_t Height() const { return screen_.Height(); }
  uint32_t CurrentMode() const { return mode_.Mode; }

  const std::vector<uint32_t> &QueryModeCalls() const { return queryModeCalls_; }
  const std::vector<uint32_t> &SetModeCalls() const { return setModeCalls_; }  // every call
  const std::vector<BltCall> &BltCalls() const { return blt_.Calls(); }           // every call
  void ClearCallRecords();

  // QueryMode(mode) answers EFI_DEVICE_ERROR from now on.
  void FailQueryModeFor(uint32_t mode) { failingQueryModes_.insert(mode); }
  // The next SetMode returns `status` and changes nothing.
  void FailNextSetMode(EFI_STATUS status) { nextSetModeFailure_ = status; }
  // The next Blt returns `status` and draws nothing.
  void FailNextBlt(EFI_STATUS status) { blt_.FailNext(status); }

 private:
  struct Binding {
    EFI_GRAPHICS_OUTPUT_PROTOCOL protocol;
    GraphicsOutputDevice *owner;
  };
  static GraphicsOutputDevice &From(EFI_GRAPHICS_OUTPUT_PROTOCOL *self);

  static EFI_STATUS EFIAPI QueryMode(EFI_GRAPHICS_OUTPUT_PROTOCOL *self, UINT32 modeNumber,
                                     UINTN *sizeOfInfo,
                                     EFI_GRAPHICS_OUTPUT_MODE_INFORMATION **info);
  static EFI_STATUS EFIAPI SetMode(EFI_GRAPHICS_OUTPUT_PROTOCOL *self, UINT32 modeNumber);
  static EFI_STATUS EFIAPI Blt(EFI_GRAPHICS_OUTPUT_PROTOCOL *self,
                               EFI_GRAPHICS_OUTPUT_BLT_PIXEL *buffer,
                               EFI_GRAPHICS_OUTPUT_BLT_OPERATION op, UINTN sourceX, UINTN sourceY,
                               UINTN destinationX, UINTN destinationY, UINTN width, UINTN height,
                               UINTN delta);

  EFI_GRAPHICS_OUTPUT_MODE_INFORMATION InfoFor(uint32_t modeNumber) const;
  void EnterMode(uint32_t modeNumber);

  Binding binding_;
  EFI_GRAPHICS_OUTPUT_PROTOCOL_MODE mode_;
  EFI_GRAPHICS_OUTPUT_MODE_INFORMATION info_;
  std::vector<Resolution> modes_;
  Framebuffer screen_{0, 0};
  DisplayDevicePath devicePath_;
  std::vector<uint32_t> queryModeCalls_;
  std::vector<uint32_t> setModeCalls_;
  RecordedBlt blt_;
  std::set<uint32_t> failingQueryModes_;
  EFI_STATUS nextSetModeFailure_ = EFI_SUCCESS;
};

}  // namespace sim
