// A UGA Draw device: one resolution at a time, set freely by SetMode, with a real framebuffer
// behind Blt (the same block transfers as Graphics Output).
#pragma once

#include <cstdint>
#include <vector>

#include "sim/uefi/display/BlockTransfer.h"
#include "sim/uefi/display/Framebuffer.h"
#include "uefi/UgaDraw.h"

namespace sim {

class UgaDrawDevice {
 public:
  using BltCall = sim::BltCall;
  struct ModeCall {
    uint32_t Width, Height, ColourDepth, RefreshRate;
  };
  static constexpr uint32_t kMaxResolution = 4096;

  UgaDrawDevice(uint32_t width, uint32_t height, uint32_t colourDepth = 32,
                uint32_t refreshRate = 60);
  UgaDrawDevice(const UgaDrawDevice &) = delete;
  UgaDrawDevice &operator=(const UgaDrawDevice &) = delete;

  EFI_UGA_DRAW_PROTOCOL *Protocol() { return &binding_.protocol; }
  Framebuffer &Screen() { return screen_; }
  const Framebuffer &Screen() const { return screen_; }
  uint32_t ColourDepth() const { return colourDepth_; }
  uint32_t RefreshRate() const { return refreshRate_; }

  const std::vector<ModeCall> &SetModeCalls() const { return setModeCalls_; }  // every call
  const std::vector<BltCall> &BltCalls() const { return blt_.Calls(); }          // every call
  unsigned GetModeCount() const { return getModeCount_; }

  // GetMode / SetMode answer EFI_DEVICE_ERROR (and SetMode changes nothing) while set.
  void FailGetMode(bool fail) { failGetMode_ = fail; }
  void FailSetMode(bool fail) { failSetMode_ = fail; }
  // The next Blt returns `status` and draws nothing.
  void FailNextBlt(EFI_STATUS status) { blt_.FailNext(status); }

 private:
  struct Binding {
    EFI_UGA_DRAW_PROTOCOL protocol;
    UgaDrawDevice *owner;
  };
  static UgaDrawDevice &From(EFI_UGA_DRAW_PROTOCOL *self);

  static EFI_STATUS EFIAPI GetMode(EFI_UGA_DRAW_PROTOCOL *self, UINT32 *width, UINT32 *height,
                                   UINT32 *colourDepth, UINT32 *refreshRate);
  static EFI_STATUS EFIAPI SetMode(EFI_UGA_DRAW_PROTOCOL *self, UINT32 width, UINT32 height,
                                   UINT32 colourDepth, UINT32 refreshRate);
  static EFI_STATUS EFIAPI Blt(EFI_UGA_DRAW_PROTOCOL *self, EFI_UGA_PIXEL *buffer,
                               EFI_UGA_BLT_OPERATION op, UINTN sourceX, UINTN sourceY,
                               UINTN destinationX, UINTN destinationY, UINTN width, UINTN height,
                               UINTN delta);

  Binding binding_;
  Framebuffer screen_;
  uint32_t colourDepth_;
  uint32_t refreshRate_;
  std::vector<ModeCall> setModeCalls_;
  RecordedBlt blt_;
  unsigned getModeCount_ = 0;
  bool failGetMode_ = false;
  bool failSetMode_ = false;
};

}  // namespace sim
