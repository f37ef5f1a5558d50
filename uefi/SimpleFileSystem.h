// The simple file system protocol and the file protocol, declared from the UEFI specification:
// enough to open a file on a volume, find its size and read it. Every member is in the UEFI
// specification's order; the members called here have full signatures and asserted offsets.
#pragma once

#include "UefiBase.h"

#define EFI_SIMPLE_FILE_SYSTEM_PROTOCOL_GUID \
  {0x964E5B22, 0x6459, 0x11D2, {0x8E, 0x39, 0x00, 0xA0, 0xC9, 0x69, 0x72, 0x3B}}

#define EFI_FILE_MODE_READ 0x0000000000000001ULL
// SetPosition to this value moves to the end of the file.
#define EFI_FILE_POSITION_END 0xFFFFFFFFFFFFFFFFULL

typedef struct EFI_FILE_PROTOCOL EFI_FILE_PROTOCOL;
typedef struct EFI_SIMPLE_FILE_SYSTEM_PROTOCOL EFI_SIMPLE_FILE_SYSTEM_PROTOCOL;

typedef EFI_STATUS(EFIAPI *EFI_SIMPLE_FILE_SYSTEM_PROTOCOL_OPEN_VOLUME)(
    EFI_SIMPLE_FILE_SYSTEM_PROTOCOL *This, EFI_FILE_PROTOCOL **Root);

struct EFI_SIMPLE_FILE_SYSTEM_PROTOCOL {
  UINT64 Revision;
  EFI_SIMPLE_FILE_SYSTEM_PROTOCOL_OPEN_VOLUME OpenVolume;
};
UEFI_ASSERT_OFFSET(EFI_SIMPLE_FILE_SYSTEM_PROTOCOL, OpenVolume, 8, 8);

typedef EFI_STATUS(EFIAPI *EFI_FILE_OPEN)(EFI_FILE_PROTOCOL *This, EFI_FILE_PROTOCOL **NewHandle,
                                          const CHAR16 *FileName, UINT64 OpenMode,
                                          UINT64 Attributes);
typedef EFI_STATUS(EFIAPI *EFI_FILE_CLOSE)(EFI_FILE_PROTOCOL *This);
typedef EFI_STATUS(EFIAPI *EFI_FILE_READ)(EFI_FILE_PROTOCOL *This, UINTN *BufferSize,
                                          VOID *Buffer);
typedef EFI_STATUS(EFIAPI *EFI_FILE_GET_POSITION)(EFI_FILE_PROTOCOL *This, UINT64 *Position);
typedef EFI_STATUS(EFIAPI *EFI_FILE_SET_POSITION)(EFI_FILE_PROTOCOL *This, UINT64 Position);
typedef VOID(EFIAPI *EFI_FILE_UNUSED_SERVICE)(VOID);

struct EFI_FILE_PROTOCOL {
  UINT64 Revision;
  EFI_FILE_OPEN Open;
  EFI_FILE_CLOSE Close;
  EFI_FILE_UNUSED_SERVICE Delete;
  EFI_FILE_READ Read;
  EFI_FILE_UNUSED_SERVICE Write;
  EFI_FILE_GET_POSITION GetPosition;
  EFI_FILE_SET_POSITION SetPosition;
  EFI_FILE_UNUSED_SERVICE GetInfo;
  EFI_FILE_UNUSED_SERVICE SetInfo;
  EFI_FILE_UNUSED_SERVICE Flush;
};
UEFI_ASSERT_OFFSET(EFI_FILE_PROTOCOL, Open, 8, 8);
UEFI_ASSERT_OFFSET(EFI_FILE_PROTOCOL, Read, 32, 20);
UEFI_ASSERT_OFFSET(EFI_FILE_PROTOCOL, GetPosition, 48, 28);
UEFI_ASSERT_OFFSET(EFI_FILE_PROTOCOL, SetPosition, 56, 32);
