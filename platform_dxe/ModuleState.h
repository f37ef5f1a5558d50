// Module-wide state of PlatformServicesDxe, kept in one place so that a test can put the
// module back into its just-loaded state (everything zero) before it starts.
#pragma once

#include "../include/BoardProtocols.h"
#include "../include/PlatformServicesProtocol.h"
#include "../uefi/Uefi.h"

struct PlatformDxeState {
  // Tables handed to the entry point; every part of the driver reaches UEFI through them.
  EFI_SYSTEM_TABLE *SystemTable;
  EFI_BOOT_SERVICES *BootServices;
  EFI_RUNTIME_SERVICES *RuntimeServices;

  BOARD_SUPPORT_PROTOCOL *BoardSupport;
  PLATFORM_SERVICES_PROTOCOL *Interface;

  // Built by the first successful GetDiskChannelMap and kept for the rest of boot.
  DISK_CHANNEL_ENTRY *DiskChannelMap;
  UINTN DiskChannelCount;

  EFI_EVENT SharedDataEvent;
  VOID *SharedDataRegistration;

  // 1 while SetFlashWriteEnable has the caches and MTRRs switched off.
  UINT8 CacheDisabledFlag;
};

extern PlatformDxeState DxeModule;

// Back to the state the loader leaves: all zero. Test support only; firmware never calls it.
void ResetPlatformDxeState();
