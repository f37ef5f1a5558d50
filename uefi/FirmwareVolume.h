// The Framework firmware volume protocol: files and their sections, read out of a volume.
// Only ReadSection is called by the modules; the other entries are typed for completeness
// of the layout.
#pragma once

#include "UefiBase.h"

#define EFI_FIRMWARE_VOLUME_PROTOCOL_GUID \
  {0x389F751F, 0x1838, 0x4388, {0x83, 0x90, 0xCD, 0x81, 0x54, 0xBD, 0x27, 0xF8}}

typedef UINT8 EFI_SECTION_TYPE;
#define EFI_SECTION_RAW ((EFI_SECTION_TYPE)0x19)

typedef UINT8 EFI_FV_FILETYPE;
typedef UINT64 FRAMEWORK_EFI_FV_ATTRIBUTES;
typedef UINT32 EFI_FV_FILE_ATTRIBUTES;

typedef struct EFI_FIRMWARE_VOLUME_PROTOCOL EFI_FIRMWARE_VOLUME_PROTOCOL;

typedef EFI_STATUS(EFIAPI *FRAMEWORK_EFI_FV_GET_ATTRIBUTES)(EFI_FIRMWARE_VOLUME_PROTOCOL *This,
                                                           FRAMEWORK_EFI_FV_ATTRIBUTES *Attributes);
typedef EFI_STATUS(EFIAPI *FRAMEWORK_EFI_FV_SET_ATTRIBUTES)(EFI_FIRMWARE_VOLUME_PROTOCOL *This,
                                                           FRAMEWORK_EFI_FV_ATTRIBUTES *Attributes);
typedef EFI_STATUS(EFIAPI *FRAMEWORK_EFI_FV_READ_FILE)(
    EFI_FIRMWARE_VOLUME_PROTOCOL *This, const EFI_GUID *NameGuid, VOID **Buffer,
    UINTN *BufferSize, EFI_FV_FILETYPE *FoundType, EFI_FV_FILE_ATTRIBUTES *FileAttributes,
    UINT32 *AuthenticationStatus);
// With *Buffer null the volume allocates the section from pool and the caller frees it;
// otherwise *BufferSize is the caller's buffer size and a longer section gives
// EFI_WARN_BUFFER_TOO_SMALL or EFI_BUFFER_TOO_SMALL as the volume chooses.
typedef EFI_STATUS(EFIAPI *FRAMEWORK_EFI_FV_READ_SECTION)(
    EFI_FIRMWARE_VOLUME_PROTOCOL *This, const EFI_GUID *NameGuid, EFI_SECTION_TYPE SectionType,
    UINTN SectionInstance, VOID **Buffer, UINTN *BufferSize, UINT32 *AuthenticationStatus);
typedef EFI_STATUS(EFIAPI *FRAMEWORK_EFI_FV_WRITE_FILE)(EFI_FIRMWARE_VOLUME_PROTOCOL *This,
                                                       UINT32 NumberOfFiles, UINT32 WritePolicy,
                                                       VOID *FileData);
typedef EFI_STATUS(EFIAPI *FRAMEWORK_EFI_FV_GET_NEXT_FILE)(
    EFI_FIRMWARE_VOLUME_PROTOCOL *This, VOID *Key, EFI_FV_FILETYPE *FileType, EFI_GUID *NameGuid,
    EFI_FV_FILE_ATTRIBUTES *Attributes, UINTN *Size);

struct EFI_FIRMWARE_VOLUME_PROTOCOL {
  FRAMEWORK_EFI_FV_GET_ATTRIBUTES GetVolumeAttributes;
  FRAMEWORK_EFI_FV_SET_ATTRIBUTES SetVolumeAttributes;
  FRAMEWORK_EFI_FV_READ_FILE ReadFile;
  FRAMEWORK_EFI_FV_READ_SECTION ReadSection;
  FRAMEWORK_EFI_FV_WRITE_FILE WriteFile;
  FRAMEWORK_EFI_FV_GET_NEXT_FILE GetNextFile;
  UINT32 KeySize;
  EFI_HANDLE ParentHandle;
};
UEFI_ASSERT_OFFSET(EFI_FIRMWARE_VOLUME_PROTOCOL, ReadSection, 24, 12);
UEFI_ASSERT_OFFSET(EFI_FIRMWARE_VOLUME_PROTOCOL, KeySize, 48, 24);
UEFI_ASSERT_OFFSET(EFI_FIRMWARE_VOLUME_PROTOCOL, ParentHandle, 56, 28);
