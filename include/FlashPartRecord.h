// FLASH_PART_RECORD and SPI_PART_CONFIG: how PlatformServicesDxe describes a flash part to a
// flash update client. DetectFlashPart hands out the address of one of the driver's own
// records; the client reads its fields and erases, programs and reads the part only through
// its Erase, Program, Read and ConvertPointers slots (detection has run Init and Identify).
// The records belong to the driver for the life of the firmware: keep their addresses, never
// write them. Plain C and C++, packed, little-endian. Base types: PlatformServicesTypes.h
// (PLATFORM_SERVICES_USE_CLIENT_UEFI_TYPES works here too).
#ifndef PLATFORM_FLASH_PART_RECORD_H
#define PLATFORM_FLASH_PART_RECORD_H

#include "PlatformServicesProtocol.h"

// The six operation slots. One slot type serves both part tables, so each argument is as wide
// as the widest use:
//   Identify: LPC records take their PartId value, SPI records the address of the record.
//   Program:  only the firmware-hub set reads ResetAddress (an address inside the part that
//             receives the closing clear-status and read-array commands); the others ignore it.
//   Erase:    SPI records take Length as a signed count (0 or less erases nothing).
typedef EFI_STATUS(EFIAPI *FLASH_PART_INIT)(VOID *Table);
typedef EFI_STATUS(EFIAPI *FLASH_PART_IDENTIFY)(UINT64 PartIdOrRecord);
typedef EFI_STATUS(EFIAPI *FLASH_PART_ERASE)(UINT64 Address, UINT64 Length);
typedef EFI_STATUS(EFIAPI *FLASH_PART_PROGRAM)(UINT64 Address, const UINT8 *Buffer,
                                               UINT64 *NumBytes, UINT64 ResetAddress);
typedef EFI_STATUS(EFIAPI *FLASH_PART_READ)(UINT8 *Buffer, UINT64 Address, UINT64 Length);
typedef EFI_STATUS(EFIAPI *FLASH_PART_CONVERT_POINTERS)(VOID);

#define FLASH_PART_NAME_LENGTH 32

// Part size: 64 KiB << SizeCode, except SIZE_CODE_TWO_COMPONENTS, where the size is
// BlockSize * 256 * BlockCount.
#define FLASH_SIZE_CODE_TWO_COMPONENTS 0xFF
#define FLASH_BLOCK_SIZE_UNIT 256

#pragma pack(push, 1)
struct FLASH_PART_RECORD {
  UINT64 PartId;    // LPC: identification word; SPI: identifier bytes, first received in 7:0
  UINT8 SizeCode;   // 3 = 512 KiB ... 7 = 8 MiB; FLASH_SIZE_CODE_TWO_COMPONENTS
  UINT8 VendorName[FLASH_PART_NAME_LENGTH];  // ASCII, NUL-padded
  UINT8 PartName[FLASH_PART_NAME_LENGTH];    // ASCII, NUL-padded
  UINT16 BlockSize;     // erase block in units of 256 bytes
  UINT16 BlockCount;
  UINT8 ReservedBytes[3];  // carried for the client; never read or written by the driver
  FLASH_PART_INIT Init;
  FLASH_PART_IDENTIFY Identify;
  FLASH_PART_ERASE Erase;
  FLASH_PART_PROGRAM Program;
  FLASH_PART_READ Read;
  FLASH_PART_CONVERT_POINTERS ConvertPointers;
};

// What the SPI operations load into the controller for one part. 32 bytes.
typedef struct {
  UINT8 OpcodeMenu[8];    // OPMENU entries 0-7
  UINT16 OpcodeTypes;     // OPTYPE: entry n in bits 2n+1:2n
  UINT16 PrefixOpcodes;   // PREOP: prefix 0 in the low byte
  UINT32 Flags;           // SPI_FLAG_*
  UINT8 ProtectData[4];   // indexed by SPI_PROTECT_*
  UINT32 Size;            // flash size in bytes
  UINT32 EraseSize;       // erase unit in bytes
  UINT32 ProtectGranule;  // address step of the per-granule protection commands
} SPI_PART_CONFIG;

// SPI records carry one more field after the common 0x80 bytes.
typedef struct {
  FLASH_PART_RECORD Part;
  SPI_PART_CONFIG *SpiConfig;
} SPI_FLASH_PART_RECORD;
#pragma pack(pop)

// Meaning of the opcode menu entries.
#define SPI_MENU_READ_ID 0
#define SPI_MENU_ERASE 1
#define SPI_MENU_PROGRAM 2
#define SPI_MENU_WRITE_STATUS 3
#define SPI_MENU_GRANULE_PROTECT 6
#define SPI_MENU_GRANULE_UNPROTECT 7

// Flags.
#define SPI_FLAG_STATUS_PROTECT 0x001u   // status-register writes around software-sequenced writes
#define SPI_FLAG_GRANULE_PROTECT 0x002u  // per-granule commands around every write
#define SPI_FLAG_GRANULE_DATA 0x004u     // the per-granule commands carry one data byte
#define SPI_FLAG_WRITE_64 0x008u         // write granularity 64 bytes
#define SPI_FLAG_ID_LENGTH_MASK 0x070u   // identifier bytes read, 1 to 4
#define SPI_FLAG_ID_LENGTH_SHIFT 4
#define SPI_FLAG_NO_PREFIX_VSCC 0x400u   // capabilities' write-enable bits not from PREOP

// ProtectData indices.
#define SPI_PROTECT_STATUS_PROTECT 0
#define SPI_PROTECT_STATUS_UNPROTECT 1
#define SPI_PROTECT_GRANULE_PROTECT 2
#define SPI_PROTECT_GRANULE_UNPROTECT 3

// Pointers are 8 bytes in the x64 driver; an IA-32 client sees 4-byte slots.
PLATFORM_SERVICES_ASSERT_OFFSET(FLASH_PART_RECORD, PartId, 0x00, 0x00);
PLATFORM_SERVICES_ASSERT_OFFSET(FLASH_PART_RECORD, SizeCode, 0x08, 0x08);
PLATFORM_SERVICES_ASSERT_OFFSET(FLASH_PART_RECORD, VendorName, 0x09, 0x09);
PLATFORM_SERVICES_ASSERT_OFFSET(FLASH_PART_RECORD, PartName, 0x29, 0x29);
PLATFORM_SERVICES_ASSERT_OFFSET(FLASH_PART_RECORD, BlockSize, 0x49, 0x49);
PLATFORM_SERVICES_ASSERT_OFFSET(FLASH_PART_RECORD, BlockCount, 0x4B, 0x4B);
PLATFORM_SERVICES_ASSERT_OFFSET(FLASH_PART_RECORD, ReservedBytes, 0x4D, 0x4D);
PLATFORM_SERVICES_ASSERT_OFFSET(FLASH_PART_RECORD, Init, 0x50, 0x50);
PLATFORM_SERVICES_ASSERT_OFFSET(FLASH_PART_RECORD, Identify, 0x58, 0x54);
PLATFORM_SERVICES_ASSERT_OFFSET(FLASH_PART_RECORD, Erase, 0x60, 0x58);
PLATFORM_SERVICES_ASSERT_OFFSET(FLASH_PART_RECORD, Program, 0x68, 0x5C);
PLATFORM_SERVICES_ASSERT_OFFSET(FLASH_PART_RECORD, Read, 0x70, 0x60);
PLATFORM_SERVICES_ASSERT_OFFSET(FLASH_PART_RECORD, ConvertPointers, 0x78, 0x64);
PLATFORM_SERVICES_ASSERT_SIZE(FLASH_PART_RECORD, 0x80, 0x68);
PLATFORM_SERVICES_ASSERT_OFFSET(SPI_FLASH_PART_RECORD, SpiConfig, 0x80, 0x68);
PLATFORM_SERVICES_ASSERT_SIZE(SPI_FLASH_PART_RECORD, 0x88, 0x6C);

PLATFORM_SERVICES_ASSERT_OFFSET(SPI_PART_CONFIG, OpcodeMenu, 0, 0);
PLATFORM_SERVICES_ASSERT_OFFSET(SPI_PART_CONFIG, OpcodeTypes, 8, 8);
PLATFORM_SERVICES_ASSERT_OFFSET(SPI_PART_CONFIG, PrefixOpcodes, 10, 10);
PLATFORM_SERVICES_ASSERT_OFFSET(SPI_PART_CONFIG, Flags, 12, 12);
PLATFORM_SERVICES_ASSERT_OFFSET(SPI_PART_CONFIG, ProtectData, 16, 16);
PLATFORM_SERVICES_ASSERT_OFFSET(SPI_PART_CONFIG, Size, 20, 20);
PLATFORM_SERVICES_ASSERT_OFFSET(SPI_PART_CONFIG, EraseSize, 24, 24);
PLATFORM_SERVICES_ASSERT_OFFSET(SPI_PART_CONFIG, ProtectGranule, 28, 28);
PLATFORM_SERVICES_ASSERT_SIZE(SPI_PART_CONFIG, 32, 32);

#endif  // PLATFORM_FLASH_PART_RECORD_H
