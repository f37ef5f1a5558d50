// The Framework SMM system table (EFI_SMM_SYSTEM_TABLE), as a caller hands it to code that
// allocates from the SMM pool. Declared from the Framework SMM core interface specification;
// member order is binding, offsets asserted below for x64 and IA-32 (SmmAllocatePool sits at
// byte 0x60 on x64).
#pragma once

#include "UefiBase.h"

// "SMST" as a 32-bit signature in the low half of the header's signature field.
#define EFI_SMM_SYSTEM_TABLE_SIGNATURE 0x54534D53ULL

typedef struct _EFI_SMM_SYSTEM_TABLE EFI_SMM_SYSTEM_TABLE;

typedef UINT32 EFI_SMM_IO_WIDTH;

typedef struct _EFI_SMM_CPU_IO_INTERFACE EFI_SMM_CPU_IO_INTERFACE;

typedef EFI_STATUS(EFIAPI *EFI_SMM_CPU_IO)(EFI_SMM_CPU_IO_INTERFACE *This,
                                           EFI_SMM_IO_WIDTH Width, UINT64 Address, UINTN Count,
                                           VOID *Buffer);

typedef struct {
  EFI_SMM_CPU_IO Read;
  EFI_SMM_CPU_IO Write;
} EFI_SMM_IO_ACCESS;

struct _EFI_SMM_CPU_IO_INTERFACE {
  EFI_SMM_IO_ACCESS Mem;
  EFI_SMM_IO_ACCESS Io;
};

typedef EFI_STATUS(EFIAPI *EFI_SMM_INSTALL_CONFIGURATION_TABLE)(EFI_SMM_SYSTEM_TABLE *SystemTable,
                                                                EFI_GUID *Guid, VOID *Table,
                                                                UINTN TableSize);
typedef EFI_STATUS(EFIAPI *EFI_SMM_ALLOCATE_POOL)(EFI_MEMORY_TYPE PoolType, UINTN Size,
                                                  VOID **Buffer);
typedef EFI_STATUS(EFIAPI *EFI_SMM_FREE_POOL)(VOID *Buffer);
typedef EFI_STATUS(EFIAPI *EFI_SMM_ALLOCATE_PAGES)(UINT32 Type, EFI_MEMORY_TYPE MemoryType,
                                                   UINTN NumberOfPages,
                                                   EFI_PHYSICAL_ADDRESS *Memory);
typedef EFI_STATUS(EFIAPI *EFI_SMM_FREE_PAGES)(EFI_PHYSICAL_ADDRESS Memory, UINTN NumberOfPages);
typedef VOID(EFIAPI *EFI_AP_PROCEDURE)(VOID *Buffer);
typedef EFI_STATUS(EFIAPI *EFI_SMM_STARTUP_THIS_AP)(EFI_AP_PROCEDURE Procedure, UINTN CpuNumber,
                                                    VOID *ProcArguments);

struct _EFI_SMM_SYSTEM_TABLE {
  EFI_TABLE_HEADER Hdr;
  CHAR16 *SmmFirmwareVendor;
  UINT32 SmmFirmwareRevision;
  EFI_SMM_INSTALL_CONFIGURATION_TABLE SmmInstallConfigurationTable;
  EFI_GUID EfiSmmCpuIoGuid;
  EFI_SMM_CPU_IO_INTERFACE SmmIo;
  EFI_SMM_ALLOCATE_POOL SmmAllocatePool;
  EFI_SMM_FREE_POOL SmmFreePool;
  EFI_SMM_ALLOCATE_PAGES SmmAllocatePages;
  EFI_SMM_FREE_PAGES SmmFreePages;
  EFI_SMM_STARTUP_THIS_AP SmmStartupThisAp;
  UINTN CurrentlyExecutingCpu;
  UINTN NumberOfCpus;
  VOID *CpuSaveState;
  VOID *CpuOptionalFloatingPointState;
  UINTN NumberOfTableEntries;
  VOID *SmmConfigurationTable;
};

UEFI_ASSERT_OFFSET(EFI_SMM_SYSTEM_TABLE, SmmFirmwareVendor, 0x18, 0x18);
UEFI_ASSERT_OFFSET(EFI_SMM_SYSTEM_TABLE, SmmInstallConfigurationTable, 0x28, 0x20);
UEFI_ASSERT_OFFSET(EFI_SMM_SYSTEM_TABLE, EfiSmmCpuIoGuid, 0x30, 0x24);
UEFI_ASSERT_OFFSET(EFI_SMM_SYSTEM_TABLE, SmmIo, 0x40, 0x34);
UEFI_ASSERT_OFFSET(EFI_SMM_SYSTEM_TABLE, SmmAllocatePool, 0x60, 0x44);
UEFI_ASSERT_OFFSET(EFI_SMM_SYSTEM_TABLE, SmmFreePool, 0x68, 0x48);
UEFI_ASSERT_OFFSET(EFI_SMM_SYSTEM_TABLE, SmmConfigurationTable, 0xB0, 0x6C);
UEFI_ASSERT_SIZE(EFI_SMM_SYSTEM_TABLE, 0xB8, 0x70);
