// The Framework boot script save protocol: records register writes that the S3 resume path
// replays. Declared from the Framework boot script specification. Write takes a variable
// argument list whose shape depends on the opcode; arguments follow the UEFI x64 model (one
// 8-byte slot each), so callers pass every argument at its declared type.
#pragma once

#include "UefiBase.h"

#define EFI_BOOT_SCRIPT_SAVE_PROTOCOL_GUID \
  {0x470E1529, 0xB79E, 0x4E32, {0xA0, 0xFE, 0x6A, 0x15, 0x6D, 0x29, 0xF9, 0xB2}}

// Table names.
#define EFI_ACPI_S3_RESUME_SCRIPT_TABLE 0x00

// Opcodes.
#define EFI_BOOT_SCRIPT_IO_WRITE_OPCODE 0x00
#define EFI_BOOT_SCRIPT_IO_READ_WRITE_OPCODE 0x01
#define EFI_BOOT_SCRIPT_MEM_WRITE_OPCODE 0x02
#define EFI_BOOT_SCRIPT_MEM_READ_WRITE_OPCODE 0x03
#define EFI_BOOT_SCRIPT_PCI_CONFIG_WRITE_OPCODE 0x04
#define EFI_BOOT_SCRIPT_PCI_CONFIG_READ_WRITE_OPCODE 0x05
#define EFI_BOOT_SCRIPT_SMBUS_EXECUTE_OPCODE 0x06
#define EFI_BOOT_SCRIPT_STALL_OPCODE 0x07
#define EFI_BOOT_SCRIPT_DISPATCH_OPCODE 0x08

// Access widths (an enumeration, passed as a 32-bit value).
typedef UINT32 EFI_BOOT_SCRIPT_WIDTH;
#define EfiBootScriptWidthUint8 ((EFI_BOOT_SCRIPT_WIDTH)0)
#define EfiBootScriptWidthUint16 ((EFI_BOOT_SCRIPT_WIDTH)1)
#define EfiBootScriptWidthUint32 ((EFI_BOOT_SCRIPT_WIDTH)2)
#define EfiBootScriptWidthUint64 ((EFI_BOOT_SCRIPT_WIDTH)3)

typedef struct _EFI_BOOT_SCRIPT_SAVE_PROTOCOL EFI_BOOT_SCRIPT_SAVE_PROTOCOL;

// The variable arguments by opcode, in order:
//   EFI_BOOT_SCRIPT_MEM_WRITE_OPCODE: EFI_BOOT_SCRIPT_WIDTH Width, UINT64 Address, UINTN Count,
//     VOID *Buffer (Count elements of Width, copied into the script when it is written).
//   EFI_BOOT_SCRIPT_IO_WRITE_OPCODE: EFI_BOOT_SCRIPT_WIDTH Width, UINT64 Address, UINTN Count,
//     VOID *Buffer.
//   EFI_BOOT_SCRIPT_STALL_OPCODE: UINTN Duration (microseconds).
typedef EFI_STATUS(EFIAPI *EFI_BOOT_SCRIPT_WRITE)(EFI_BOOT_SCRIPT_SAVE_PROTOCOL *This,
                                                  UINT16 TableName, UINT16 OpCode, ...);
typedef EFI_STATUS(EFIAPI *EFI_BOOT_SCRIPT_CLOSE_TABLE)(EFI_BOOT_SCRIPT_SAVE_PROTOCOL *This,
                                                        UINT16 TableName,
                                                        EFI_PHYSICAL_ADDRESS *Address);

struct _EFI_BOOT_SCRIPT_SAVE_PROTOCOL {
  EFI_BOOT_SCRIPT_WRITE Write;
  EFI_BOOT_SCRIPT_CLOSE_TABLE CloseTable;
};

UEFI_ASSERT_OFFSET(EFI_BOOT_SCRIPT_SAVE_PROTOCOL, Write, 0, 0);
UEFI_ASSERT_OFFSET(EFI_BOOT_SCRIPT_SAVE_PROTOCOL, CloseTable, 8, 4);
UEFI_ASSERT_SIZE(EFI_BOOT_SCRIPT_SAVE_PROTOCOL, 16, 8);
