// The PEI services table, declared from the PI specification. Every member is in table order;
// the two this system calls (CreateHob, CopyMem) have full signatures and asserted offsets.
#pragma once

#include "UefiBase.h"

#define PEI_SERVICES_SIGNATURE 0x5652455320494550ULL  // "PEI SERV"

typedef struct EFI_PEI_SERVICES EFI_PEI_SERVICES;
typedef VOID *EFI_PEI_FILE_HANDLE;

typedef EFI_STATUS(EFIAPI *EFI_PEI_CREATE_HOB)(const EFI_PEI_SERVICES **PeiServices, UINT16 Type,
                                               UINT16 Length, VOID **Hob);
typedef VOID(EFIAPI *EFI_PEI_COPY_MEM)(VOID *Destination, const VOID *Source, UINTN Length);
typedef VOID(EFIAPI *EFI_PEI_SET_MEM)(VOID *Buffer, UINTN Size, UINT8 Value);
typedef EFI_STATUS(EFIAPI *EFI_PEI_GET_HOB_LIST)(const EFI_PEI_SERVICES **PeiServices,
                                                 VOID **HobList);
// Members this system never calls keep their place in the table.
typedef VOID(EFIAPI *EFI_PEI_UNUSED_SERVICE)(VOID);

struct EFI_PEI_SERVICES {
  EFI_TABLE_HEADER Hdr;
  EFI_PEI_UNUSED_SERVICE InstallPpi;
  EFI_PEI_UNUSED_SERVICE ReInstallPpi;
  EFI_PEI_UNUSED_SERVICE LocatePpi;
  EFI_PEI_UNUSED_SERVICE NotifyPpi;
  EFI_PEI_UNUSED_SERVICE GetBootMode;
  EFI_PEI_UNUSED_SERVICE SetBootMode;
  EFI_PEI_GET_HOB_LIST GetHobList;
  EFI_PEI_CREATE_HOB CreateHob;
  EFI_PEI_UNUSED_SERVICE FfsFindNextVolume;
  EFI_PEI_UNUSED_SERVICE FfsFindNextFile;
  EFI_PEI_UNUSED_SERVICE FfsFindSectionData;
  EFI_PEI_UNUSED_SERVICE InstallPeiMemory;
  EFI_PEI_UNUSED_SERVICE AllocatePages;
  EFI_PEI_UNUSED_SERVICE AllocatePool;
  EFI_PEI_COPY_MEM CopyMem;
  EFI_PEI_SET_MEM SetMem;
  EFI_PEI_UNUSED_SERVICE ReportStatusCode;
  EFI_PEI_UNUSED_SERVICE ResetSystem;
  VOID *CpuIo;
  VOID *PciCfg;
  EFI_PEI_UNUSED_SERVICE FfsFindFileByName;
  EFI_PEI_UNUSED_SERVICE FfsGetFileInfo;
  EFI_PEI_UNUSED_SERVICE FfsGetVolumeInfo;
  EFI_PEI_UNUSED_SERVICE RegisterForShadow;
  EFI_PEI_UNUSED_SERVICE FindSectionData3;
  EFI_PEI_UNUSED_SERVICE FfsGetFileInfo2;
  EFI_PEI_UNUSED_SERVICE ResetSystem2;
  EFI_PEI_UNUSED_SERVICE FreePages;
};
// Member k (InstallPpi = 0) sits at 24 + 4k on IA-32 and 24 + 8k on x64.
UEFI_ASSERT_OFFSET(EFI_PEI_SERVICES, GetHobList, 24 + 8 * 6, 24 + 4 * 6);
UEFI_ASSERT_OFFSET(EFI_PEI_SERVICES, CreateHob, 24 + 8 * 7, 24 + 4 * 7);
UEFI_ASSERT_OFFSET(EFI_PEI_SERVICES, CopyMem, 24 + 8 * 14, 24 + 4 * 14);
UEFI_ASSERT_OFFSET(EFI_PEI_SERVICES, SetMem, 24 + 8 * 15, 24 + 4 * 15);
UEFI_ASSERT_OFFSET(EFI_PEI_SERVICES, PciCfg, 24 + 8 * 19, 24 + 4 * 19);
UEFI_ASSERT_SIZE(EFI_PEI_SERVICES, 24 + 8 * 28, 24 + 4 * 28);
