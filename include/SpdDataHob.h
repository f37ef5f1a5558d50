// SPD_DATA_HOB: the GUID hand-off block SpdProviderPei publishes for the platform's memory
// initialisation, which finds it by GUID in the HOB list. Plain C and C++; the same on IA-32
// and x64. Base types: PlatformServicesTypes.h (with PLATFORM_SERVICES_USE_CLIENT_UEFI_TYPES,
// the client's headers supply EFI_HOB_GUID_TYPE too).
//
// The block is asked for as 282 bytes; the PEI core rounds every HOB up to a multiple of 8,
// so Header.Header.HobLength reads 288 and the last 6 bytes are padding. Read the image from
// SpdData; the HOB list owns the block.
#ifndef PLATFORM_SPD_DATA_HOB_H
#define PLATFORM_SPD_DATA_HOB_H

#include "PlatformServicesTypes.h"

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
PLATFORM_SERVICES_ASSERT_OFFSET(SPD_DATA_HOB, Header.Name, 8, 8);
PLATFORM_SERVICES_ASSERT_OFFSET(SPD_DATA_HOB, SpdHobHeader, 24, 24);
PLATFORM_SERVICES_ASSERT_OFFSET(SPD_DATA_HOB, SpdData, 26, 26);
PLATFORM_SERVICES_ASSERT_SIZE(SPD_DATA_HOB, 282, 282);

#endif  // PLATFORM_SPD_DATA_HOB_H
