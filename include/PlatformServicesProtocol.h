// PLATFORM_SERVICES_PROTOCOL: the interface PlatformServicesDxe installs on its image handle.
// Plain C-compatible declarations for clients (flash update tools, boot managers, test code).
// The operations are plain functions: none of them takes the interface as an argument.
#pragma once

#include "../uefi/UefiBase.h"

#define PLATFORM_SERVICES_PROTOCOL_GUID \
  {0xBD99C1DA, 0x24D9, 0x4C8D, {0x94, 0x78, 0xE6, 0x8C, 0x50, 0xD8, 0x39, 0xE1}}

#define PLATFORM_SERVICES_SIGNATURE 0x43464F24u  // "$OFC" in memory order
#define PLATFORM_SERVICES_HEADER_VALUE 0x4000u

#define PLATFORM_SERVICES_INFO_VALUE_A 900u
#define PLATFORM_SERVICES_INFO_VALUE_B 178u
#define PLATFORM_SERVICES_OFFSET_TABLE_ENTRIES 12
#define PLATFORM_SERVICES_SHARED_ITEM_ENTRY 10  // entry of the offset table added to SharedBase

// Information record: five 64-bit fields, 40 bytes, on every client width.
typedef struct {
  UINT64 InfoValueA;         // 900
  UINT64 SharedBase;         // 0 until the shared data protocol has been seen
  UINT64 SharedItemAddress;  // SharedBase + OffsetTable[10]
  UINT64 OffsetTable;        // address of twelve UINT16 values
  UINT64 InfoValueB;         // 178
} PLATFORM_SERVICES_INFO;
UEFI_STATIC_ASSERT(offsetof(PLATFORM_SERVICES_INFO, InfoValueA) == 0, "InfoValueA");
UEFI_STATIC_ASSERT(offsetof(PLATFORM_SERVICES_INFO, SharedBase) == 8, "SharedBase");
UEFI_STATIC_ASSERT(offsetof(PLATFORM_SERVICES_INFO, SharedItemAddress) == 16, "SharedItemAddress");
UEFI_STATIC_ASSERT(offsetof(PLATFORM_SERVICES_INFO, OffsetTable) == 24, "OffsetTable");
UEFI_STATIC_ASSERT(offsetof(PLATFORM_SERVICES_INFO, InfoValueB) == 32, "InfoValueB");
UEFI_STATIC_ASSERT(sizeof(PLATFORM_SERVICES_INFO) == 40, "PLATFORM_SERVICES_INFO is 40 bytes");

// One disk controller channel and drive, packed: 22 bytes with no alignment gaps.
#pragma pack(push, 1)
typedef struct {
  UINT32 PciBus;
  UINT32 PciDevice;
  UINT32 PciFunction;
  UINT8 Channel;  // 0 or 1
  UINT8 Drive;    // 0 or 1 on that channel
  UINT64 DriveIndex;
} DISK_CHANNEL_ENTRY;
#pragma pack(pop)
UEFI_STATIC_ASSERT(offsetof(DISK_CHANNEL_ENTRY, PciBus) == 0, "PciBus");
UEFI_STATIC_ASSERT(offsetof(DISK_CHANNEL_ENTRY, PciDevice) == 4, "PciDevice");
UEFI_STATIC_ASSERT(offsetof(DISK_CHANNEL_ENTRY, PciFunction) == 8, "PciFunction");
UEFI_STATIC_ASSERT(offsetof(DISK_CHANNEL_ENTRY, Channel) == 12, "Channel");
UEFI_STATIC_ASSERT(offsetof(DISK_CHANNEL_ENTRY, Drive) == 13, "Drive");
UEFI_STATIC_ASSERT(offsetof(DISK_CHANNEL_ENTRY, DriveIndex) == 14, "DriveIndex");
UEFI_STATIC_ASSERT(sizeof(DISK_CHANNEL_ENTRY) == 22, "DISK_CHANNEL_ENTRY is 22 bytes");

// Returned by DetectFlashPart; its layout belongs to the flash part header.
typedef struct FLASH_PART_RECORD FLASH_PART_RECORD;

typedef EFI_STATUS(EFIAPI *PLATFORM_SHOW_BOOT_LOGO)(UINTN Unused);
typedef EFI_STATUS(EFIAPI *PLATFORM_RESTORE_TEXT_CONSOLE)(VOID);
typedef EFI_STATUS(EFIAPI *PLATFORM_SET_GRAPHICS_RESOLUTION)(VOID *GraphicsOutput, UINT32 Width,
                                                             UINT32 Height);
typedef UINT8(EFIAPI *PLATFORM_CMOS_READ8)(UINT8 Index);
typedef UINT8(EFIAPI *PLATFORM_INDEXED_IO_READ8)(UINT8 IndexPort, UINT8 DataPort, UINT8 Index);
typedef VOID(EFIAPI *PLATFORM_CMOS_WRITE8)(UINT8 Index, UINT8 Value);
typedef VOID(EFIAPI *PLATFORM_INDEXED_IO_WRITE8)(UINT8 IndexPort, UINT8 DataPort, UINT8 Index,
                                                 UINT8 Value);
typedef UINT16(EFIAPI *PLATFORM_CMOS_READ16)(UINT8 Index);
typedef VOID(EFIAPI *PLATFORM_CMOS_WRITE16)(UINT8 Index, UINT16 Value);
typedef VOID(EFIAPI *PLATFORM_RESERVED)(VOID);
typedef EFI_STATUS(EFIAPI *PLATFORM_GET_DISK_CHANNEL_MAP)(DISK_CHANNEL_ENTRY **Table,
                                                          UINTN *Count);
typedef EFI_STATUS(EFIAPI *PLATFORM_CALL)(UINT64 First, UINT32 Second, UINT64 Third);
typedef UINT64(EFIAPI *PLATFORM_GET_PCI_EXPRESS_ADDRESS)(UINT64 Ignored, UINT64 Bus,
                                                         UINT64 Device, UINT64 Function,
                                                         UINT64 Register);
typedef EFI_STATUS(EFIAPI *PLATFORM_SET_FLASH_WRITE_ENABLE)(BOOLEAN Enable);
typedef EFI_STATUS(EFIAPI *PLATFORM_DETECT_FLASH_PART)(FLASH_PART_RECORD **PartRecord,
                                                       UINT64 Table);
typedef UINT64(EFIAPI *PLATFORM_READ_TIME_STAMP_COUNTER)(VOID);

// 144 bytes on x64: a 16-byte header and sixteen operation slots.
typedef struct {
  UINT32 Signature;    // PLATFORM_SERVICES_SIGNATURE
  UINT32 HeaderValue;  // PLATFORM_SERVICES_HEADER_VALUE
  PLATFORM_SERVICES_INFO *ServicesInfo;
  PLATFORM_SHOW_BOOT_LOGO ShowBootLogo;                    // slot 1
  PLATFORM_RESTORE_TEXT_CONSOLE RestoreTextConsole;        // slot 2
  PLATFORM_SET_GRAPHICS_RESOLUTION SetGraphicsResolution;  // slot 3
  PLATFORM_CMOS_READ8 CmosRead8;                           // slot 4
  PLATFORM_INDEXED_IO_READ8 IndexedIoRead8;                // slot 5
  PLATFORM_CMOS_WRITE8 CmosWrite8;                         // slot 6
  PLATFORM_INDEXED_IO_WRITE8 IndexedIoWrite8;              // slot 7
  PLATFORM_CMOS_READ16 CmosRead16;                         // slot 8
  PLATFORM_CMOS_WRITE16 CmosWrite16;                       // slot 9
  PLATFORM_RESERVED Reserved;                              // slot 10
  PLATFORM_GET_DISK_CHANNEL_MAP GetDiskChannelMap;         // slot 11
  PLATFORM_CALL PlatformCall;                              // slot 12
  PLATFORM_GET_PCI_EXPRESS_ADDRESS GetPciExpressAddress;   // slot 13
  PLATFORM_SET_FLASH_WRITE_ENABLE SetFlashWriteEnable;     // slot 14
  PLATFORM_DETECT_FLASH_PART DetectFlashPart;              // slot 15
  PLATFORM_READ_TIME_STAMP_COUNTER ReadTimeStampCounter;   // slot 16
} PLATFORM_SERVICES_PROTOCOL;

// Slot n sits at 16 + 8 * (n - 1) on x64, the width the driver is built for.
#define PLATFORM_SERVICES_ASSERT_SLOT(member, n) \
  UEFI_ASSERT_OFFSET(PLATFORM_SERVICES_PROTOCOL, member, 16 + 8 * ((n)-1), 12 + 4 * ((n)-1))
UEFI_ASSERT_OFFSET(PLATFORM_SERVICES_PROTOCOL, Signature, 0, 0);
UEFI_ASSERT_OFFSET(PLATFORM_SERVICES_PROTOCOL, HeaderValue, 4, 4);
UEFI_ASSERT_OFFSET(PLATFORM_SERVICES_PROTOCOL, ServicesInfo, 8, 8);
PLATFORM_SERVICES_ASSERT_SLOT(ShowBootLogo, 1);
PLATFORM_SERVICES_ASSERT_SLOT(RestoreTextConsole, 2);
PLATFORM_SERVICES_ASSERT_SLOT(SetGraphicsResolution, 3);
PLATFORM_SERVICES_ASSERT_SLOT(CmosRead8, 4);
PLATFORM_SERVICES_ASSERT_SLOT(IndexedIoRead8, 5);
PLATFORM_SERVICES_ASSERT_SLOT(CmosWrite8, 6);
PLATFORM_SERVICES_ASSERT_SLOT(IndexedIoWrite8, 7);
PLATFORM_SERVICES_ASSERT_SLOT(CmosRead16, 8);
PLATFORM_SERVICES_ASSERT_SLOT(CmosWrite16, 9);
PLATFORM_SERVICES_ASSERT_SLOT(Reserved, 10);
PLATFORM_SERVICES_ASSERT_SLOT(GetDiskChannelMap, 11);
PLATFORM_SERVICES_ASSERT_SLOT(PlatformCall, 12);
PLATFORM_SERVICES_ASSERT_SLOT(GetPciExpressAddress, 13);
PLATFORM_SERVICES_ASSERT_SLOT(SetFlashWriteEnable, 14);
PLATFORM_SERVICES_ASSERT_SLOT(DetectFlashPart, 15);
PLATFORM_SERVICES_ASSERT_SLOT(ReadTimeStampCounter, 16);
UEFI_ASSERT_SIZE(PLATFORM_SERVICES_PROTOCOL, 144, 76);
