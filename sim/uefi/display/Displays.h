// Puts simulated display devices where firmware code looks for them. Each helper installs
// through the environment like any other client would, so protocol notifications fire.
// Installation failures (a device attached twice) throw std::runtime_error.
#pragma once

#include "sim/uefi/UefiEnvironment.h"
#include "sim/uefi/display/GraphicsOutputDevice.h"
#include "sim/uefi/display/UgaDrawDevice.h"

namespace sim {

// Puts the devices on the console-out handle, next to the text console; either may be null.
void AttachToConsole(UefiEnvironment &env, GraphicsOutputDevice *gop, UgaDrawDevice *uga);

// Another display: a new handle carrying Graphics Output and, when asked, the device's path.
// Returns the handle.
EFI_HANDLE InstallDisplay(UefiEnvironment &env, GraphicsOutputDevice &gop, bool withDevicePath);

}  // namespace sim
