// The board's shared data: a record ("BSHD") pointing at a board-owned buffer, installed on
// the board's handle only after PlatformServicesDxe has started, as on boards whose shared
// data depends on services that come up late. The driver picks such an installation up
// through its protocol notification.
#pragma once

#include "include/BoardProtocols.h"
#include "uefi/Uefi.h"

// Watches for PLATFORM_SERVICES_PROTOCOL (or finds it already there) and, 100 ms after it
// appeared, installs SHARED_DATA_PROTOCOL on BoardHandle from a timer event. The delay lets
// the driver finish its entry point, where it registers for the shared data notification.
EFI_STATUS PublishSharedDataAfterPlatformServices(EFI_SYSTEM_TABLE *SystemTable,
                                                  EFI_HANDLE BoardHandle);

// The board's record (installed or not yet).
SHARED_DATA_PROTOCOL *ExampleSharedData();
