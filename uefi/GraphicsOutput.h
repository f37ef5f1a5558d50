// Graphics Output block-transfer pixel. Only the pixel is declared so far; the protocol
// itself joins it when the display code needs it.
#pragma once

#include "UefiBase.h"

typedef struct {
  UINT8 Blue;
  UINT8 Green;
  UINT8 Red;
  UINT8 Reserved;
} EFI_GRAPHICS_OUTPUT_BLT_PIXEL;
UEFI_ASSERT_SIZE(EFI_GRAPHICS_OUTPUT_BLT_PIXEL, 4, 4);
UEFI_ASSERT_OFFSET(EFI_GRAPHICS_OUTPUT_BLT_PIXEL, Blue, 0, 0);
UEFI_ASSERT_OFFSET(EFI_GRAPHICS_OUTPUT_BLT_PIXEL, Green, 1, 1);
UEFI_ASSERT_OFFSET(EFI_GRAPHICS_OUTPUT_BLT_PIXEL, Red, 2, 2);
UEFI_ASSERT_OFFSET(EFI_GRAPHICS_OUTPUT_BLT_PIXEL, Reserved, 3, 3);
