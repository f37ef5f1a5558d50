// EFI_UGA_DRAW_PROTOCOL: the older drawing interface a console may offer instead of Graphics
// Output. Its pixel has the same four bytes as the Graphics Output one.
#pragma once

#include "GraphicsOutput.h"

#define EFI_UGA_DRAW_PROTOCOL_GUID \
  {0x982C298B, 0xF4FA, 0x41CB, {0xB8, 0x38, 0x77, 0xAA, 0x68, 0x8F, 0xB8, 0x39}}

typedef EFI_GRAPHICS_OUTPUT_BLT_PIXEL EFI_UGA_PIXEL;

// An enumeration in the UEFI definition: 32 bits wide.
typedef UINT32 EFI_UGA_BLT_OPERATION;
#define EfiUgaVideoFill ((EFI_UGA_BLT_OPERATION)0)
#define EfiUgaVideoToBltBuffer ((EFI_UGA_BLT_OPERATION)1)
#define EfiUgaBltBufferToVideo ((EFI_UGA_BLT_OPERATION)2)
#define EfiUgaVideoToVideo ((EFI_UGA_BLT_OPERATION)3)
#define EfiUgaBltMax ((EFI_UGA_BLT_OPERATION)4)

typedef struct EFI_UGA_DRAW_PROTOCOL EFI_UGA_DRAW_PROTOCOL;

typedef EFI_STATUS(EFIAPI *EFI_UGA_DRAW_PROTOCOL_GET_MODE)(EFI_UGA_DRAW_PROTOCOL *This,
                                                          UINT32 *HorizontalResolution,
                                                          UINT32 *VerticalResolution,
                                                          UINT32 *ColorDepth,
                                                          UINT32 *RefreshRate);
typedef EFI_STATUS(EFIAPI *EFI_UGA_DRAW_PROTOCOL_SET_MODE)(EFI_UGA_DRAW_PROTOCOL *This,
                                                          UINT32 HorizontalResolution,
                                                          UINT32 VerticalResolution,
                                                          UINT32 ColorDepth, UINT32 RefreshRate);
typedef EFI_STATUS(EFIAPI *EFI_UGA_DRAW_PROTOCOL_BLT)(EFI_UGA_DRAW_PROTOCOL *This,
                                                     EFI_UGA_PIXEL *BltBuffer,
                                                     EFI_UGA_BLT_OPERATION BltOperation,
                                                     UINTN SourceX, UINTN SourceY,
                                                     UINTN DestinationX, UINTN DestinationY,
                                                     UINTN Width, UINTN Height, UINTN Delta);

struct EFI_UGA_DRAW_PROTOCOL {
  EFI_UGA_DRAW_PROTOCOL_GET_MODE GetMode;
  EFI_UGA_DRAW_PROTOCOL_SET_MODE SetMode;
  EFI_UGA_DRAW_PROTOCOL_BLT Blt;
};
UEFI_ASSERT_SIZE(EFI_UGA_DRAW_PROTOCOL, 24, 12);
