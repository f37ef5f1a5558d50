// EFI_BOOT_LOGO_PROTOCOL of the simulated platform: SetBootLogo keeps its own copy of the
// pixels it is given (the caller frees its buffer right after), so a test can compare them
// with what is on the screen.
#pragma once

#include <optional>
#include <vector>

#include "uefi/Uefi.h"

namespace sim {

class UefiEnvironment;

class BootLogoRecorder {
 public:
  BootLogoRecorder();
  BootLogoRecorder(const BootLogoRecorder &) = delete;
  BootLogoRecorder &operator=(const BootLogoRecorder &) = delete;

  EFI_BOOT_LOGO_PROTOCOL *Protocol() { return &binding_.protocol; }
  // Installs the protocol on a new handle; returns the handle.
  EFI_HANDLE Install(UefiEnvironment &env);

  struct Call {
    std::vector<EFI_GRAPHICS_OUTPUT_BLT_PIXEL> Pixels;  // empty for a null buffer
    UINTN X, Y, Width, Height;
    EFI_STATUS Status;
  };
  const std::vector<Call> &Calls() const { return calls_; }
  // The next SetBootLogo returns `status` (the pixels are still recorded).
  void FailNextSetBootLogo(EFI_STATUS status) { failNext_ = status; }

 private:
  struct Binding {
    EFI_BOOT_LOGO_PROTOCOL protocol;
    BootLogoRecorder *owner;
  };
  static EFI_STATUS EFIAPI SetBootLogo(EFI_BOOT_LOGO_PROTOCOL *self,
                                       EFI_GRAPHICS_OUTPUT_BLT_PIXEL *bltBuffer, UINTN destinationX,
                                       UINTN destinationY, UINTN width, UINTN height);

  Binding binding_;
  std::vector<Call> calls_;
  std::optional<EFI_STATUS> failNext_;
};

}  // namespace sim
