// EFI_BOOT_LOGO_PROTOCOL: tells the platform which logo is on screen and where, so that it can
// describe it to the operating system. The platform copies what it keeps.
#pragma once

#include "GraphicsOutput.h"

#define EFI_BOOT_LOGO_PROTOCOL_GUID \
  {0xCDEA2BD3, 0xFC25, 0x4C1C, {0xB9, 0x7C, 0xB3, 0x11, 0x86, 0x06, 0x49, 0x90}}

typedef struct EFI_BOOT_LOGO_PROTOCOL EFI_BOOT_LOGO_PROTOCOL;

// A null BltBuffer says that no logo is shown any more.
typedef EFI_STATUS(EFIAPI *EFI_SET_BOOT_LOGO)(EFI_BOOT_LOGO_PROTOCOL *This,
                                              EFI_GRAPHICS_OUTPUT_BLT_PIXEL *BltBuffer,
                                              UINTN DestinationX, UINTN DestinationY,
                                              UINTN Width, UINTN Height);

struct EFI_BOOT_LOGO_PROTOCOL {
  EFI_SET_BOOT_LOGO SetBootLogo;
};
