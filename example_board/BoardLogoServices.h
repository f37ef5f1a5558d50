// The board's logo services and the platform protocols OVMF lacks: each function fills its
// interface (once, at start-up) and returns it ready to install.
#pragma once

#include "include/BoardLogoProtocols.h"
#include "uefi/Uefi.h"

// Images by type and instance, badge strings; built with EXAMPLE_BOARD_NO_HAND_OFF_IMAGE the
// source has no hand-off image (type 2), so the display takes its ordinary path.
LOGO_SOURCE_PROTOCOL *ExampleLogoSource(EFI_SYSTEM_TABLE *SystemTable);

// Framework console control over the firmware's own console.
EFI_CONSOLE_CONTROL_PROTOCOL *ExampleConsoleControl(EFI_SYSTEM_TABLE *SystemTable);

// A Framework firmware volume holding one file: the default logo as a raw section.
EFI_FIRMWARE_VOLUME_PROTOCOL *ExampleFirmwareVolume(EFI_SYSTEM_TABLE *SystemTable);

// A pool copy of Size bytes, or null.
VOID *BoardPoolCopy(EFI_BOOT_SERVICES *BootServices, const VOID *Source, UINTN Size);
