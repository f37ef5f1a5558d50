// SPD_DATA_HOB: the GUID hand-off block SpdProviderPei publishes for the platform's memory
// initialisation, which finds it by GUID. Plain C-compatible; the same on IA-32 and x64.
#pragma once

#include "../uefi/Hob.h"

#define SPD_DATA_HOB_GUID \
  {0xA1E81F04, 0x2596, 0x42F9, {0xA5, 0xFE, 0x0C, 0x77, 0x17, 0x23, 0xB1, 0xBD}}

#define SPD_IMAGE_SIZE 256
#define SPD_HOB_HEADER_SIZE 2
#define SPD_HOB_DATA_SIZE (SPD_HOB_HEADER_SIZE + SPD_IMAGE_SIZE)  // 258

#pragma pack(push, 1)
typedef struct {
  EFI_HOB_GUID_TYPE Header;                   // type 4; length and reserved by the PEI core
  UINT8 SpdHobHeader[SPD_HOB_HEADER_SIZE];    // 0x01, 0x00
  UINT8 SpdData[SPD_IMAGE_SIZE];              // DDR3 SPD image, byte 0 first
} SPD_DATA_HOB;
#pragma pack(pop)
UEFI_STATIC_ASSERT(offsetof(SPD_DATA_HOB, Header.Name) == 8, "SPD_DATA_HOB name");
UEFI_STATIC_ASSERT(offsetof(SPD_DATA_HOB, SpdHobHeader) == 24, "SPD_DATA_HOB header");
UEFI_STATIC_ASSERT(offsetof(SPD_DATA_HOB, SpdData) == 26, "SPD_DATA_HOB image");
UEFI_STATIC_ASSERT(sizeof(SPD_DATA_HOB) == 282, "SPD_DATA_HOB is 282 bytes as requested");
