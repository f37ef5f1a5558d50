// The operations of PLATFORM_SERVICES_PROTOCOL and the driver's internal services.
#pragma once

#include "../include/PlatformServicesProtocol.h"
#include "../uefi/Uefi.h"

extern "C" EFI_STATUS EFIAPI PlatformServicesDxeEntry(EFI_HANDLE ImageHandle,
                                                      EFI_SYSTEM_TABLE *SystemTable);

VOID EFIAPI SharedDataNotify(EFI_EVENT Event, VOID *Context);

// Pool helpers: boot-services data; null on failure; the caller owns what it gets.
VOID *AllocatePoolBuffer(UINTN Size);
VOID *AllocateZeroedPool(UINTN Size);

// The constant offset table published through PLATFORM_SERVICES_INFO.
extern const UINT16 PlatformOffsetTable[PLATFORM_SERVICES_OFFSET_TABLE_ENTRIES];

// Fills a zeroed interface and information record as clients see them.
void FillServicesInfo(PLATFORM_SERVICES_INFO *Info);
void FillServicesInterface(PLATFORM_SERVICES_PROTOCOL *Interface, PLATFORM_SERVICES_INFO *Info);

// Slots 4 to 9: CMOS and index/data port pairs.
UINT8 EFIAPI CmosRead8(UINT8 Index);
UINT8 EFIAPI IndexedIoRead8(UINT8 IndexPort, UINT8 DataPort, UINT8 Index);
VOID EFIAPI CmosWrite8(UINT8 Index, UINT8 Value);
VOID EFIAPI IndexedIoWrite8(UINT8 IndexPort, UINT8 DataPort, UINT8 Index, UINT8 Value);
UINT16 EFIAPI CmosRead16(UINT8 Index);
VOID EFIAPI CmosWrite16(UINT8 Index, UINT16 Value);

// Slots 10 to 12.
VOID EFIAPI Reserved();
EFI_STATUS EFIAPI GetDiskChannelMap(DISK_CHANNEL_ENTRY **Table, UINTN *Count);
EFI_STATUS EFIAPI PlatformCall(UINT64 First, UINT32 Second, UINT64 Third);

// Slot 13.
UINT64 EFIAPI GetPciExpressAddress(UINT64 Ignored, UINT64 Bus, UINT64 Device, UINT64 Function,
                                   UINT64 Register);

// Slot 14.
EFI_STATUS EFIAPI SetFlashWriteEnable(BOOLEAN Enable);

// Slots 1, 2, 3 and 15 belong to the boot logo and flash subsystems.
EFI_STATUS EFIAPI ShowBootLogo(UINTN Unused);
EFI_STATUS EFIAPI RestoreTextConsole();
EFI_STATUS EFIAPI SetGraphicsResolution(VOID *GraphicsOutput, UINT32 Width, UINT32 Height);
EFI_STATUS EFIAPI DetectFlashPart(FLASH_PART_RECORD **PartRecord, UINT64 Table);
