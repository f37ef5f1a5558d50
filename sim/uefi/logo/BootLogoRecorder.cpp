#include "sim/uefi/logo/BootLogoRecorder.h"

#include "sim/uefi/UefiEnvironment.h"
#include "sim/uefi/logo/LogoGuids.h"

namespace sim {
namespace {

// A logo larger than any screen this environment models is refused rather than copied.
constexpr UINTN kMaxSide = 16384;

}  // namespace

BootLogoRecorder::BootLogoRecorder() {
  binding_.protocol.SetBootLogo = &BootLogoRecorder::SetBootLogo;
  binding_.owner = this;
}

EFI_HANDLE BootLogoRecorder::Install(UefiEnvironment &env) {
  return env.InstallProtocolOnNewHandle(kBootLogoProtocolGuid, Protocol());
}

EFI_STATUS EFIAPI BootLogoRecorder::SetBootLogo(EFI_BOOT_LOGO_PROTOCOL *self,
                                                EFI_GRAPHICS_OUTPUT_BLT_PIXEL *bltBuffer,
                                                UINTN destinationX, UINTN destinationY, UINTN width,
                                                UINTN height) {
  BootLogoRecorder &recorder = *reinterpret_cast<Binding *>(self)->owner;
  Call call{{}, destinationX, destinationY, width, height, EFI_SUCCESS};
  if (bltBuffer != nullptr) {
    if (width == 0 || height == 0 || width > kMaxSide || height > kMaxSide) {
      call.Status = EFI_INVALID_PARAMETER;
    } else {
      call.Pixels.assign(bltBuffer, bltBuffer + width * height);
    }
  }
  if (recorder.failNext_ && !EFI_ERROR(call.Status)) {
    call.Status = *recorder.failNext_;
    recorder.failNext_.reset();
  }
  recorder.calls_.push_back(std::move(call));
  return recorder.calls_.back().Status;
}

}  // namespace sim
