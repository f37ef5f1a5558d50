// Hand-off blocks (HOBs), declared from the PI specification: the generic header, the GUID
// extension HOB and the end-of-list marker. Layouts are the same on IA-32 and x64.
#pragma once

#include "UefiBase.h"

#define EFI_HOB_TYPE_HANDOFF 0x0001
#define EFI_HOB_TYPE_GUID_EXTENSION 0x0004
#define EFI_HOB_TYPE_END_OF_HOB_LIST 0xFFFF

// EFI_HOB_GENERIC_HEADER and EFI_HOB_GUID_TYPE come with the base types (UefiBase.h).
UEFI_ASSERT_SIZE(EFI_HOB_GENERIC_HEADER, 8, 8);
UEFI_ASSERT_OFFSET(EFI_HOB_GUID_TYPE, Name, 8, 8);
UEFI_ASSERT_SIZE(EFI_HOB_GUID_TYPE, 24, 24);

// The first HOB of every list: where the list and the free PEI memory are.
typedef struct {
  EFI_HOB_GENERIC_HEADER Header;
  UINT32 Version;
  UINT32 BootMode;
  EFI_PHYSICAL_ADDRESS EfiMemoryTop;
  EFI_PHYSICAL_ADDRESS EfiMemoryBottom;
  EFI_PHYSICAL_ADDRESS EfiFreeMemoryTop;
  EFI_PHYSICAL_ADDRESS EfiFreeMemoryBottom;
  EFI_PHYSICAL_ADDRESS EfiEndOfHobList;
} EFI_HOB_HANDOFF_INFO_TABLE;
UEFI_ASSERT_OFFSET(EFI_HOB_HANDOFF_INFO_TABLE, EfiEndOfHobList, 48, 48);
UEFI_ASSERT_SIZE(EFI_HOB_HANDOFF_INFO_TABLE, 56, 56);
