// The board's own protocols, as PlatformServicesDxe relies on them. They are produced by the
// board driver of a platform (see example_board/); only what the driver uses is fixed here.
#ifndef PLATFORM_BOARD_PROTOCOLS_H
#define PLATFORM_BOARD_PROTOCOLS_H

#include "PlatformServicesTypes.h"

#define BOARD_SUPPORT_PROTOCOL_GUID \
  {0x64FBE01A, 0xDBE8, 0x4932, {0x9F, 0x7B, 0x6C, 0x3D, 0xD0, 0xD6, 0x10, 0xE5}}
#define SHARED_DATA_PROTOCOL_GUID \
  {0xFE3542FE, 0xC1D3, 0x4EF8, {0x65, 0x7C, 0x80, 0x48, 0x60, 0x6F, 0xF6, 0x70}}

typedef struct BOARD_SUPPORT_PROTOCOL BOARD_SUPPORT_PROTOCOL;

// Every operation takes the interface first and a function code second; the rest depends on
// the entry. Entries are stored untyped and called through the typed pointers below.
typedef VOID(EFIAPI *BOARD_SUPPORT_ENTRY)(VOID);

#define BOARD_SUPPORT_ENTRY_PLATFORM_CALL 2     // called with function code 3
#define BOARD_SUPPORT_ENTRY_TEXT_RESOLUTION 19  // called with function code 1
#define BOARD_SUPPORT_ENTRY_COUNT 20

#define BOARD_PLATFORM_CALL_FUNCTION 3
#define BOARD_TEXT_RESOLUTION_FUNCTION 1

typedef EFI_STATUS(EFIAPI *BOARD_PLATFORM_CALL)(BOARD_SUPPORT_PROTOCOL *This, UINTN Function,
                                                UINT64 First, UINT32 Second, UINT64 Third);
// Stores the address of a board record; its UINT32 at offset 8 is the text console width and
// its UINT32 at offset 12 the height. The record belongs to the board.
typedef EFI_STATUS(EFIAPI *BOARD_GET_TEXT_RESOLUTION)(BOARD_SUPPORT_PROTOCOL *This,
                                                      UINTN Function, VOID **Record);

typedef struct {
  BOARD_SUPPORT_ENTRY Entry[BOARD_SUPPORT_ENTRY_COUNT];
} BOARD_SUPPORT_OPERATIONS;

struct BOARD_SUPPORT_PROTOCOL {
  const BOARD_SUPPORT_OPERATIONS *Operations;  // first field: the operation table
};

typedef struct {
  UINT32 Reserved0;
  UINT32 Reserved1;
  UINT32 Width;   // offset 8
  UINT32 Height;  // offset 12
} BOARD_TEXT_RESOLUTION_RECORD;
PLATFORM_SERVICES_ASSERT_OFFSET(BOARD_TEXT_RESOLUTION_RECORD, Width, 8, 8);
PLATFORM_SERVICES_ASSERT_OFFSET(BOARD_TEXT_RESOLUTION_RECORD, Height, 12, 12);

// Only the 64-bit value at byte offset 8 is read by the driver.
typedef struct {
  UINT64 Header;
  UINT64 SharedBase;  // offset 8
} SHARED_DATA_PROTOCOL;
PLATFORM_SERVICES_ASSERT_OFFSET(SHARED_DATA_PROTOCOL, SharedBase, 8, 8);

#endif  // PLATFORM_BOARD_PROTOCOLS_H
