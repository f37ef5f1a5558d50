#include "sim/uefi/display/Displays.h"

#include <stdexcept>
#include <string>

#include "uefi/DevicePath.h"
#include "uefi/GraphicsOutput.h"
#include "uefi/UgaDraw.h"

namespace sim {

namespace {

const EFI_GUID kGraphicsOutputGuid = EFI_GRAPHICS_OUTPUT_PROTOCOL_GUID;
const EFI_GUID kUgaDrawGuid = EFI_UGA_DRAW_PROTOCOL_GUID;
const EFI_GUID kDevicePathGuid = EFI_DEVICE_PATH_PROTOCOL_GUID;

void Require(EFI_STATUS status, const char *what) {
  if (status != EFI_SUCCESS) {
    throw std::runtime_error(std::string("installing ") + what + " failed with status " +
                             std::to_string(status));
  }
}

}  // namespace

void AttachToConsole(UefiEnvironment &env, GraphicsOutputDevice *gop, UgaDrawDevice *uga) {
  if (gop != nullptr) {
    Require(env.AddToConsoleOutHandle(kGraphicsOutputGuid, gop->Protocol()),
            "Graphics Output on the console handle");
  }
  if (uga != nullptr) {
    Require(env.AddToConsoleOutHandle(kUgaDrawGuid, uga->Protocol()),
            "UGA Draw on the console handle");
  }
}

EFI_HANDLE InstallDisplay(UefiEnvironment &env, GraphicsOutputDevice &gop, bool withDevicePath) {
  EFI_HANDLE handle = nullptr;
  if (withDevicePath) {
    // The path goes on first, as a bus driver creates the child handle with its path.
    Require(env.InstallProtocol(&handle, kDevicePathGuid, gop.DevicePath()), "a device path");
  }
  Require(env.InstallProtocol(&handle, kGraphicsOutputGuid, gop.Protocol()),
          "Graphics Output on a display handle");
  return handle;
}

}  // namespace sim
