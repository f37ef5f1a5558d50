// Module-wide state of PlatformServicesDxe, kept in one place so that a test can put the
// module back into its just-loaded state before it starts.
#pragma once

#include "../include/BoardProtocols.h"
#include "../include/PlatformServicesProtocol.h"
#include "../uefi/Uefi.h"
#include "flash/FlashState.h"

// Every member has an initialiser, so the image is built with this state in place (constant
// initialisation): no constructor has to run before the entry point.
struct PlatformDxeState {
  // Tables handed to the entry point; every part of the driver reaches UEFI through them.
  EFI_SYSTEM_TABLE *SystemTable = nullptr;
  EFI_BOOT_SERVICES *BootServices = nullptr;
  EFI_RUNTIME_SERVICES *RuntimeServices = nullptr;

  BOARD_SUPPORT_PROTOCOL *BoardSupport = nullptr;
  PLATFORM_SERVICES_PROTOCOL *Interface = nullptr;

  // Built by the first successful GetDiskChannelMap and kept for the rest of boot.
  DISK_CHANNEL_ENTRY *DiskChannelMap = nullptr;
  UINTN DiskChannelCount = 0;

  EFI_EVENT SharedDataEvent = nullptr;
  VOID *SharedDataRegistration = nullptr;

  // 1 while SetFlashWriteEnable has the caches and MTRRs switched off.
  UINT8 CacheDisabledFlag = 0;

  // Badge lines of the boot logo: the row of the first centred line (-1 when none is set)
  // and how many centred lines have been handed out since the last reset.
  INT64 BadgeLineTop = -1;
  UINT64 BadgeLineCount = 0;

  // Part tables, detection, SPI controller and LPC command contexts.
  FlashModuleState Flash;
};

extern PlatformDxeState DxeModule;

// Back to the state the loader leaves (the flash part records included). Test support only; firmware never calls it.
void ResetPlatformDxeState();
