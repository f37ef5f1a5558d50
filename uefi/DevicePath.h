// EFI_DEVICE_PATH_PROTOCOL node header and the nodes the firmware checks use.
#pragma once

#include "UefiBase.h"

#define EFI_DEVICE_PATH_PROTOCOL_GUID \
  {0x09576E91, 0x6D3F, 0x11D2, {0x8E, 0x39, 0x00, 0xA0, 0xC9, 0x69, 0x72, 0x3B}}

typedef struct {
  UINT8 Type;
  UINT8 SubType;
  UINT8 Length[2];  // little-endian length of the whole node, header included
} EFI_DEVICE_PATH_PROTOCOL;
UEFI_STATIC_ASSERT(sizeof(EFI_DEVICE_PATH_PROTOCOL) == 4, "device path node header");

#define MEDIA_DEVICE_PATH 0x04
#define MEDIA_FILEPATH_DP 0x04
#define END_DEVICE_PATH_TYPE 0x7F
#define END_ENTIRE_DEVICE_PATH_SUBTYPE 0xFF
