/* PLATFORM_SERVICES_PROTOCOL: the interface PlatformServicesDxe installs on its own image handle.
 * Plain C and C++ declarations for clients (flash update tools, boot managers, test code).
 *
 * Find it with LocateProtocol (or HandleProtocol on the driver's image handle) and
 * PLATFORM_SERVICES_PROTOCOL_GUID. The operations are plain functions: none takes the
 * interface as an argument. Call them from boot services, one caller at a time.
 *
 * Ownership: the interface, its information record, the offset table and the disk channel
 * map belong to the driver and stay where they are for the rest of boot. Keep their
 * addresses if you like; never free or write them.
 *
 * Base types come from PlatformServicesTypes.h; to use your own UEFI headers' types instead,
 * see the switch described there (PLATFORM_SERVICES_USE_CLIENT_UEFI_TYPES).
 */
#ifndef PLATFORM_SERVICES_PROTOCOL_H
#define PLATFORM_SERVICES_PROTOCOL_H

#include "PlatformServicesTypes.h"

#define PLATFORM_SERVICES_PROTOCOL_GUID \
  {0xBD99C1DA, 0x24D9, 0x4C8D, {0x94, 0x78, 0xE6, 0x8C, 0x50, 0xD8, 0x39, 0xE1}}

#define PLATFORM_SERVICES_SIGNATURE 0x43464F24u /* "$OFC" in memory order */
#define PLATFORM_SERVICES_HEADER_VALUE 0x4000u

/* Values the driver publishes in its information record for its clients. Their meaning is
 * fixed by those clients; the driver itself only uses entry 10 of the offset table. */
#define PLATFORM_SERVICES_INFO_VALUE_A 900u
#define PLATFORM_SERVICES_INFO_VALUE_B 178u
#define PLATFORM_SERVICES_OFFSET_TABLE_ENTRIES 12
#define PLATFORM_SERVICES_SHARED_ITEM_ENTRY 10 /* offset table entry added to SharedBase */

/* Information record: five 64-bit fields, 40 bytes on every client width. Owned by the
 * driver, never moved; read it, do not write it. */
typedef struct {
  UINT64 InfoValueA;        /* 900 */
  UINT64 SharedBase;        /* 0 until a board installs its shared data protocol after the
                               driver started; then the 64-bit value at byte 8 of it */
  UINT64 SharedItemAddress; /* 0 until then; SharedBase + OffsetTable[10] (530) */
  UINT64 OffsetTable;       /* address of twelve constant UINT16 values:
                               110 111 117 220 127 128 129 149 121 51 530 599 */
  UINT64 InfoValueB;        /* 178 */
} PLATFORM_SERVICES_INFO;
PLATFORM_SERVICES_ASSERT_OFFSET(PLATFORM_SERVICES_INFO, InfoValueA, 0, 0);
PLATFORM_SERVICES_ASSERT_OFFSET(PLATFORM_SERVICES_INFO, SharedBase, 8, 8);
PLATFORM_SERVICES_ASSERT_OFFSET(PLATFORM_SERVICES_INFO, SharedItemAddress, 16, 16);
PLATFORM_SERVICES_ASSERT_OFFSET(PLATFORM_SERVICES_INFO, OffsetTable, 24, 24);
PLATFORM_SERVICES_ASSERT_OFFSET(PLATFORM_SERVICES_INFO, InfoValueB, 32, 32);
PLATFORM_SERVICES_ASSERT_SIZE(PLATFORM_SERVICES_INFO, 40, 40);

/* One disk controller channel and drive, packed: 22 bytes with no alignment gaps. */
#pragma pack(push, 1)
typedef struct {
  UINT32 PciBus;      /* PCI location of the disk controller function */
  UINT32 PciDevice;
  UINT32 PciFunction;
  UINT8 Channel;      /* 0 or 1 */
  UINT8 Drive;        /* 0 or 1 on that channel */
  UINT64 DriveIndex;  /* the board's number for this drive */
} DISK_CHANNEL_ENTRY;
#pragma pack(pop)
PLATFORM_SERVICES_ASSERT_OFFSET(DISK_CHANNEL_ENTRY, PciBus, 0, 0);
PLATFORM_SERVICES_ASSERT_OFFSET(DISK_CHANNEL_ENTRY, PciDevice, 4, 4);
PLATFORM_SERVICES_ASSERT_OFFSET(DISK_CHANNEL_ENTRY, PciFunction, 8, 8);
PLATFORM_SERVICES_ASSERT_OFFSET(DISK_CHANNEL_ENTRY, Channel, 12, 12);
PLATFORM_SERVICES_ASSERT_OFFSET(DISK_CHANNEL_ENTRY, Drive, 13, 13);
PLATFORM_SERVICES_ASSERT_OFFSET(DISK_CHANNEL_ENTRY, DriveIndex, 14, 14);
PLATFORM_SERVICES_ASSERT_SIZE(DISK_CHANNEL_ENTRY, 22, 22);

/* Handed out by DetectFlashPart; its fields and operations are declared with the flash part
 * record itself. */
typedef struct FLASH_PART_RECORD FLASH_PART_RECORD;

/* Slot 1. Switches the console to graphics and draws the board's boot logo with its badge
 * strings. Unused: pass 0.
 * Returns Success when the logo was handed to the platform's boot logo protocol or the
 * default logo was drawn; Unsupported
 * without a console control protocol, without Graphics Output or UGA Draw on the console, or
 * when no logo can be found or decoded; Invalid Parameter when the board's logo source names
 * an image type other than logo or overlay. With a board logo source, the result is the
 * status with which the source ended its list of images. */
typedef EFI_STATUS(EFIAPI *PLATFORM_SHOW_BOOT_LOGO)(UINTN Unused);

/* Slot 2. Brings the console back from the logo to text: sets the resolution the board asks
 * for (800 x 600 when it does not say), switches the console to text and installs
 * TEXT_CONSOLE_RESTORED_PROTOCOL on a new handle (also when it fails).
 * Returns the status of the console control protocol's switch to text; Unsupported without
 * a console control protocol or without Graphics Output or UGA Draw on the console. */
typedef EFI_STATUS(EFIAPI *PLATFORM_RESTORE_TEXT_CONSOLE)(VOID);

/* Slot 3. Puts GraphicsOutput (an EFI_GRAPHICS_OUTPUT_PROTOCOL instance of the caller's;
 * must not be null) into the first mode of exactly Width x Height, else into 800 x 600,
 * else leaves it alone. A mode already of that size is programmed again only when a display
 * differs from the console. The result carries nothing a caller needs to examine. */
typedef EFI_STATUS(EFIAPI *PLATFORM_SET_GRAPHICS_RESOLUTION)(VOID *GraphicsOutput, UINT32 Width,
                                                             UINT32 Height);

/* Slots 4 and 6. Read or write the real-time-clock CMOS byte at Index (0x00-0xFF) through
 * ports 0x70/0x71. Bit 7 of port 0x70 (the NMI mask) is kept; an Index of 0x80 or above
 * sets it. Interrupts are off during the access and restored after. No status. */
typedef UINT8(EFIAPI *PLATFORM_CMOS_READ8)(UINT8 Index);
typedef VOID(EFIAPI *PLATFORM_CMOS_WRITE8)(UINT8 Index, UINT8 Value);

/* Slots 5 and 7. Read or write register Index behind an index/data I/O port pair: Index is
 * written to IndexPort, then the byte is read from or written to DataPort. Ports are 8-bit
 * (0x00-0xFF). Interrupts are off during the access. No status. */
typedef UINT8(EFIAPI *PLATFORM_INDEXED_IO_READ8)(UINT8 IndexPort, UINT8 DataPort, UINT8 Index);
typedef VOID(EFIAPI *PLATFORM_INDEXED_IO_WRITE8)(UINT8 IndexPort, UINT8 DataPort, UINT8 Index,
                                                 UINT8 Value);

/* Slots 8 and 9. A little-endian 16-bit CMOS value: low byte at Index, high byte at
 * Index + 1 (wrapping from 0xFF to 0x00). Reads fetch the high byte first, writes store the
 * low byte first. No status. */
typedef UINT16(EFIAPI *PLATFORM_CMOS_READ16)(UINT8 Index);
typedef VOID(EFIAPI *PLATFORM_CMOS_WRITE16)(UINT8 Index, UINT16 Value);

/* Slot 10. Does nothing. */
typedef VOID(EFIAPI *PLATFORM_RESERVED)(VOID);

/* Slot 11. *Table receives the address of the driver's disk channel map (ten entries) and
 * *Count the number of entries. Both pointers must be valid: they are not tested. The array
 * belongs to the driver and is the same on every call: never free or write it.
 * Returns Success, or Out of Resources when the first call cannot allocate the array (a
 * later call tries again). */
typedef EFI_STATUS(EFIAPI *PLATFORM_GET_DISK_CHANNEL_MAP)(DISK_CHANNEL_ENTRY **Table,
                                                          UINTN *Count);

/* Slot 12. Passes First, Second and Third unchanged to the board support protocol (its
 * operation table entry 2, with function code 3); what they mean is the board's business.
 * Returns the board's status unchanged, whatever it is; Not Ready when the driver has no
 * board support protocol. */
typedef EFI_STATUS(EFIAPI *PLATFORM_CALL)(UINT64 First, UINT32 Second, UINT64 Third);

/* Slot 13. The memory-mapped address of PCI Express configuration register Register of
 * Bus:Device.Function: 0xF0000000 + Bus * 0x100000 + Device * 0x8000 + Function * 0x1000 +
 * Register. Ignored is not used. Nothing is range-checked: a Device above 31, a Function
 * above 7 or a Register above 0xFFF carries into the next field. No status. */
typedef UINT64(EFIAPI *PLATFORM_GET_PCI_EXPRESS_ADDRESS)(UINT64 Ignored, UINT64 Bus,
                                                         UINT64 Device, UINT64 Function,
                                                         UINT64 Register);

/* Slot 14. Enable (any nonzero value) opens the system flash for writes: sets BIOS write
 * enable and, the first time, switches the calling processor's caches and MTRRs off.
 * FALSE closes it again and restores caches and MTRRs. Always returns Success; it does not
 * check that the chipset accepted the change. */
typedef EFI_STATUS(EFIAPI *PLATFORM_SET_FLASH_WRITE_ENABLE)(BOOLEAN Enable);

/* Slot 15. Identifies the fitted flash part. *PartRecord is set to null, then on Success to
 * the driver's own record of the part (never free it; it stays valid for the life of the
 * firmware). Table is handed to each candidate record's Init: the caller's SMM system table
 * for LPC flash parts, or 0.
 * Returns Success when a part answered; Unsupported (and 0x62 on port 0x80) when none did or
 * the board's boot strap is neither LPC nor SPI. */
typedef EFI_STATUS(EFIAPI *PLATFORM_DETECT_FLASH_PART)(FLASH_PART_RECORD **PartRecord,
                                                       UINT64 Table);

/* Slot 16. The calling processor's 64-bit time-stamp counter (RDTSC). No status. */
typedef UINT64(EFIAPI *PLATFORM_READ_TIME_STAMP_COUNTER)(VOID);

/* 144 bytes on x64: a 16-byte header and sixteen operation slots. */
typedef struct {
  UINT32 Signature;    /* PLATFORM_SERVICES_SIGNATURE */
  UINT32 HeaderValue;  /* PLATFORM_SERVICES_HEADER_VALUE */
  PLATFORM_SERVICES_INFO *ServicesInfo;
  PLATFORM_SHOW_BOOT_LOGO ShowBootLogo;                    /* slot 1 */
  PLATFORM_RESTORE_TEXT_CONSOLE RestoreTextConsole;        /* slot 2 */
  PLATFORM_SET_GRAPHICS_RESOLUTION SetGraphicsResolution;  /* slot 3 */
  PLATFORM_CMOS_READ8 CmosRead8;                           /* slot 4 */
  PLATFORM_INDEXED_IO_READ8 IndexedIoRead8;                /* slot 5 */
  PLATFORM_CMOS_WRITE8 CmosWrite8;                         /* slot 6 */
  PLATFORM_INDEXED_IO_WRITE8 IndexedIoWrite8;              /* slot 7 */
  PLATFORM_CMOS_READ16 CmosRead16;                         /* slot 8 */
  PLATFORM_CMOS_WRITE16 CmosWrite16;                       /* slot 9 */
  PLATFORM_RESERVED Reserved;                              /* slot 10 */
  PLATFORM_GET_DISK_CHANNEL_MAP GetDiskChannelMap;         /* slot 11 */
  PLATFORM_CALL PlatformCall;                              /* slot 12 */
  PLATFORM_GET_PCI_EXPRESS_ADDRESS GetPciExpressAddress;   /* slot 13 */
  PLATFORM_SET_FLASH_WRITE_ENABLE SetFlashWriteEnable;     /* slot 14 */
  PLATFORM_DETECT_FLASH_PART DetectFlashPart;              /* slot 15 */
  PLATFORM_READ_TIME_STAMP_COUNTER ReadTimeStampCounter;   /* slot 16 */
} PLATFORM_SERVICES_PROTOCOL;

/* Slot n sits at 16 + 8 * (n - 1) on x64, the width the driver is built for. */
#define PLATFORM_SERVICES_ASSERT_SLOT(member, n) \
  PLATFORM_SERVICES_ASSERT_OFFSET(PLATFORM_SERVICES_PROTOCOL, member, 16 + 8 * ((n)-1), \
                                  12 + 4 * ((n)-1))
PLATFORM_SERVICES_ASSERT_OFFSET(PLATFORM_SERVICES_PROTOCOL, Signature, 0, 0);
PLATFORM_SERVICES_ASSERT_OFFSET(PLATFORM_SERVICES_PROTOCOL, HeaderValue, 4, 4);
PLATFORM_SERVICES_ASSERT_OFFSET(PLATFORM_SERVICES_PROTOCOL, ServicesInfo, 8, 8);
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
PLATFORM_SERVICES_ASSERT_SIZE(PLATFORM_SERVICES_PROTOCOL, 144, 76);

#endif /* PLATFORM_SERVICES_PROTOCOL_H */
