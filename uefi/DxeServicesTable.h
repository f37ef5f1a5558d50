// The DXE services table of the platform initialisation (PI) DXE core: the global coherency
// domain (memory and I/O space maps) and dispatcher services. Found in the system table's
// configuration table under EFI_DXE_SERVICES_TABLE_GUID. Declared from the PI specification;
// member order is binding, offsets asserted below for x64 and IA-32.
#pragma once

#include "UefiBase.h"

#define EFI_DXE_SERVICES_TABLE_GUID \
  {0x05AD34BA, 0x6F02, 0x4214, {0x95, 0x2E, 0x4D, 0xA0, 0x39, 0x8E, 0x2B, 0xB9}}
#define DXE_SERVICES_TABLE_GUID EFI_DXE_SERVICES_TABLE_GUID

// "DXE_SERV" read as a little-endian 64-bit value.
#define DXE_SERVICES_SIGNATURE 0x565245535F455844ULL

typedef UINT32 EFI_GCD_MEMORY_TYPE;
#define EfiGcdMemoryTypeNonExistent ((EFI_GCD_MEMORY_TYPE)0)
#define EfiGcdMemoryTypeReserved ((EFI_GCD_MEMORY_TYPE)1)
#define EfiGcdMemoryTypeSystemMemory ((EFI_GCD_MEMORY_TYPE)2)
#define EfiGcdMemoryTypeMemoryMappedIo ((EFI_GCD_MEMORY_TYPE)3)

typedef UINT32 EFI_GCD_IO_TYPE;
typedef UINT32 EFI_GCD_ALLOCATE_TYPE;

// Memory attributes beyond EFI_MEMORY_RUNTIME (UefiBase.h) that callers of
// SetMemorySpaceAttributes commonly combine with it.
#define EFI_MEMORY_UC 0x0000000000000001ULL
#define EFI_MEMORY_WC 0x0000000000000002ULL
#define EFI_MEMORY_WT 0x0000000000000004ULL
#define EFI_MEMORY_WB 0x0000000000000008ULL

typedef struct {
  EFI_PHYSICAL_ADDRESS BaseAddress;
  UINT64 Length;
  UINT64 Capabilities;
  UINT64 Attributes;
  EFI_GCD_MEMORY_TYPE GcdMemoryType;
  EFI_HANDLE ImageHandle;
  EFI_HANDLE DeviceHandle;
} EFI_GCD_MEMORY_SPACE_DESCRIPTOR;

typedef struct {
  EFI_PHYSICAL_ADDRESS BaseAddress;
  UINT64 Length;
  EFI_GCD_IO_TYPE GcdIoType;
  EFI_HANDLE ImageHandle;
  EFI_HANDLE DeviceHandle;
} EFI_GCD_IO_SPACE_DESCRIPTOR;

typedef EFI_STATUS(EFIAPI *EFI_ADD_MEMORY_SPACE)(EFI_GCD_MEMORY_TYPE GcdMemoryType,
                                                 EFI_PHYSICAL_ADDRESS BaseAddress, UINT64 Length,
                                                 UINT64 Capabilities);
typedef EFI_STATUS(EFIAPI *EFI_ALLOCATE_MEMORY_SPACE)(EFI_GCD_ALLOCATE_TYPE GcdAllocateType,
                                                      EFI_GCD_MEMORY_TYPE GcdMemoryType,
                                                      UINTN Alignment, UINT64 Length,
                                                      EFI_PHYSICAL_ADDRESS *BaseAddress,
                                                      EFI_HANDLE ImageHandle,
                                                      EFI_HANDLE DeviceHandle);
typedef EFI_STATUS(EFIAPI *EFI_FREE_MEMORY_SPACE)(EFI_PHYSICAL_ADDRESS BaseAddress,
                                                  UINT64 Length);
typedef EFI_STATUS(EFIAPI *EFI_REMOVE_MEMORY_SPACE)(EFI_PHYSICAL_ADDRESS BaseAddress,
                                                    UINT64 Length);
typedef EFI_STATUS(EFIAPI *EFI_GET_MEMORY_SPACE_DESCRIPTOR)(
    EFI_PHYSICAL_ADDRESS BaseAddress, EFI_GCD_MEMORY_SPACE_DESCRIPTOR *Descriptor);
typedef EFI_STATUS(EFIAPI *EFI_SET_MEMORY_SPACE_ATTRIBUTES)(EFI_PHYSICAL_ADDRESS BaseAddress,
                                                            UINT64 Length, UINT64 Attributes);
typedef EFI_STATUS(EFIAPI *EFI_GET_MEMORY_SPACE_MAP)(
    UINTN *NumberOfDescriptors, EFI_GCD_MEMORY_SPACE_DESCRIPTOR **MemorySpaceMap);
typedef EFI_STATUS(EFIAPI *EFI_ADD_IO_SPACE)(EFI_GCD_IO_TYPE GcdIoType,
                                             EFI_PHYSICAL_ADDRESS BaseAddress, UINT64 Length);
typedef EFI_STATUS(EFIAPI *EFI_ALLOCATE_IO_SPACE)(EFI_GCD_ALLOCATE_TYPE GcdAllocateType,
                                                  EFI_GCD_IO_TYPE GcdIoType, UINTN Alignment,
                                                  UINT64 Length,
                                                  EFI_PHYSICAL_ADDRESS *BaseAddress,
                                                  EFI_HANDLE ImageHandle,
                                                  EFI_HANDLE DeviceHandle);
typedef EFI_STATUS(EFIAPI *EFI_FREE_IO_SPACE)(EFI_PHYSICAL_ADDRESS BaseAddress, UINT64 Length);
typedef EFI_STATUS(EFIAPI *EFI_REMOVE_IO_SPACE)(EFI_PHYSICAL_ADDRESS BaseAddress,
                                                UINT64 Length);
typedef EFI_STATUS(EFIAPI *EFI_GET_IO_SPACE_DESCRIPTOR)(EFI_PHYSICAL_ADDRESS BaseAddress,
                                                       EFI_GCD_IO_SPACE_DESCRIPTOR *Descriptor);
typedef EFI_STATUS(EFIAPI *EFI_GET_IO_SPACE_MAP)(UINTN *NumberOfDescriptors,
                                                EFI_GCD_IO_SPACE_DESCRIPTOR **IoSpaceMap);
typedef EFI_STATUS(EFIAPI *EFI_DISPATCH)(VOID);
typedef EFI_STATUS(EFIAPI *EFI_SCHEDULE)(EFI_HANDLE FirmwareVolumeHandle, const EFI_GUID *FileName);
typedef EFI_STATUS(EFIAPI *EFI_TRUST)(EFI_HANDLE FirmwareVolumeHandle, const EFI_GUID *FileName);
typedef EFI_STATUS(EFIAPI *EFI_PROCESS_FIRMWARE_VOLUME)(const VOID *FirmwareVolumeHeader,
                                                       UINTN Size,
                                                       EFI_HANDLE *FirmwareVolumeHandle);
typedef EFI_STATUS(EFIAPI *EFI_SET_MEMORY_SPACE_CAPABILITIES)(EFI_PHYSICAL_ADDRESS BaseAddress,
                                                              UINT64 Length,
                                                              UINT64 Capabilities);

typedef struct {
  EFI_TABLE_HEADER Hdr;
  // Global coherency domain: memory space.
  EFI_ADD_MEMORY_SPACE AddMemorySpace;
  EFI_ALLOCATE_MEMORY_SPACE AllocateMemorySpace;
  EFI_FREE_MEMORY_SPACE FreeMemorySpace;
  EFI_REMOVE_MEMORY_SPACE RemoveMemorySpace;
  EFI_GET_MEMORY_SPACE_DESCRIPTOR GetMemorySpaceDescriptor;
  EFI_SET_MEMORY_SPACE_ATTRIBUTES SetMemorySpaceAttributes;
  EFI_GET_MEMORY_SPACE_MAP GetMemorySpaceMap;
  // Global coherency domain: I/O space.
  EFI_ADD_IO_SPACE AddIoSpace;
  EFI_ALLOCATE_IO_SPACE AllocateIoSpace;
  EFI_FREE_IO_SPACE FreeIoSpace;
  EFI_REMOVE_IO_SPACE RemoveIoSpace;
  EFI_GET_IO_SPACE_DESCRIPTOR GetIoSpaceDescriptor;
  EFI_GET_IO_SPACE_MAP GetIoSpaceMap;
  // Dispatcher.
  EFI_DISPATCH Dispatch;
  EFI_SCHEDULE Schedule;
  EFI_TRUST Trust;
  EFI_PROCESS_FIRMWARE_VOLUME ProcessFirmwareVolume;
  // Added by a later revision of the table; callers check Hdr.Revision before using it.
  EFI_SET_MEMORY_SPACE_CAPABILITIES SetMemorySpaceCapabilities;
} EFI_DXE_SERVICES;

UEFI_ASSERT_OFFSET(EFI_DXE_SERVICES, AddMemorySpace, 24, 24);
UEFI_ASSERT_OFFSET(EFI_DXE_SERVICES, SetMemorySpaceAttributes, 64, 44);
UEFI_ASSERT_OFFSET(EFI_DXE_SERVICES, GetIoSpaceMap, 120, 72);
UEFI_ASSERT_OFFSET(EFI_DXE_SERVICES, Dispatch, 128, 76);
UEFI_ASSERT_OFFSET(EFI_DXE_SERVICES, ProcessFirmwareVolume, 152, 88);
UEFI_ASSERT_SIZE(EFI_DXE_SERVICES, 168, 96);
