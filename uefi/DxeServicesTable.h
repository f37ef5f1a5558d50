// The DXE services table, declared from the PI specification. It is found in the system
// table's configuration table under its GUID. Every member is in table order; the dispatcher
// services this system calls have full signatures and asserted offsets.
#pragma once

#include "UefiBase.h"

#define DXE_SERVICES_TABLE_GUID \
  {0x05AD34BA, 0x6F02, 0x4214, {0x95, 0x2E, 0x4D, 0xA0, 0x39, 0x8E, 0x2B, 0xB9}}
#define DXE_SERVICES_SIGNATURE 0x565245535F455844ULL  // "DXE_SERV"

// Runs every driver whose dependency expression is satisfied, until none is left to run.
typedef EFI_STATUS(EFIAPI *EFI_DISPATCH)(VOID);
// Makes the firmware volume at FirmwareVolumeHeader (Size bytes) known to the dispatcher.
typedef EFI_STATUS(EFIAPI *EFI_PROCESS_FIRMWARE_VOLUME)(const VOID *FirmwareVolumeHeader,
                                                        UINTN Size, EFI_HANDLE *FirmwareVolume);
// Members this system never calls keep their place in the table.
typedef VOID(EFIAPI *EFI_DXE_UNUSED_SERVICE)(VOID);

typedef struct {
  EFI_TABLE_HEADER Hdr;
  // Global coherency domain services.
  EFI_DXE_UNUSED_SERVICE AddMemorySpace;
  EFI_DXE_UNUSED_SERVICE AllocateMemorySpace;
  EFI_DXE_UNUSED_SERVICE FreeMemorySpace;
  EFI_DXE_UNUSED_SERVICE RemoveMemorySpace;
  EFI_DXE_UNUSED_SERVICE GetMemorySpaceDescriptor;
  EFI_DXE_UNUSED_SERVICE SetMemorySpaceAttributes;
  EFI_DXE_UNUSED_SERVICE GetMemorySpaceMap;
  EFI_DXE_UNUSED_SERVICE AddIoSpace;
  EFI_DXE_UNUSED_SERVICE AllocateIoSpace;
  EFI_DXE_UNUSED_SERVICE FreeIoSpace;
  EFI_DXE_UNUSED_SERVICE RemoveIoSpace;
  EFI_DXE_UNUSED_SERVICE GetIoSpaceDescriptor;
  EFI_DXE_UNUSED_SERVICE GetIoSpaceMap;
  // Dispatcher services.
  EFI_DISPATCH Dispatch;
  EFI_DXE_UNUSED_SERVICE Schedule;
  EFI_DXE_UNUSED_SERVICE Trust;
  EFI_PROCESS_FIRMWARE_VOLUME ProcessFirmwareVolume;
  EFI_DXE_UNUSED_SERVICE SetMemorySpaceCapabilities;
} EFI_DXE_SERVICES;
// Member k (AddMemorySpace = 0) sits at 24 + 8k on x64 and 24 + 4k on IA-32.
UEFI_ASSERT_OFFSET(EFI_DXE_SERVICES, Dispatch, 24 + 8 * 13, 24 + 4 * 13);
UEFI_ASSERT_OFFSET(EFI_DXE_SERVICES, ProcessFirmwareVolume, 24 + 8 * 16, 24 + 4 * 16);
UEFI_ASSERT_SIZE(EFI_DXE_SERVICES, 24 + 8 * 18, 24 + 4 * 18);
