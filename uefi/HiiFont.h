// EFI_HII_FONT_PROTOCOL: renders strings to an image or straight onto a Graphics Output screen.
#pragma once

#include "GraphicsOutput.h"

#define EFI_HII_FONT_PROTOCOL_GUID \
  {0xE9CA4775, 0x8657, 0x47FC, {0x97, 0xE7, 0x7E, 0xD6, 0x5A, 0x08, 0x43, 0x24}}

typedef CHAR16 *EFI_STRING;
typedef UINT16 EFI_STRING_ID;
typedef VOID *EFI_HII_HANDLE;

typedef UINT32 EFI_HII_OUT_FLAGS;
#define EFI_HII_OUT_FLAG_CLIP 0x00000001u
#define EFI_HII_OUT_FLAG_WRAP 0x00000002u
#define EFI_HII_OUT_FLAG_CLIP_CLEAN_Y 0x00000004u
#define EFI_HII_OUT_FLAG_CLIP_CLEAN_X 0x00000008u
#define EFI_HII_OUT_FLAG_TRANSPARENT 0x00000010u
#define EFI_HII_IGNORE_IF_NO_GLYPH 0x00000020u
#define EFI_HII_IGNORE_LINE_BREAK 0x00000040u
#define EFI_HII_DIRECT_TO_SCREEN 0x00000080u

typedef UINT32 EFI_HII_FONT_STYLE;
typedef UINT32 EFI_FONT_INFO_MASK;

typedef struct {
  EFI_HII_FONT_STYLE FontStyle;
  UINT16 FontSize;  // character cell height in pixels
  CHAR16 FontName[1];
} EFI_FONT_INFO;
UEFI_ASSERT_SIZE(EFI_FONT_INFO, 8, 8);

typedef struct {
  EFI_GRAPHICS_OUTPUT_BLT_PIXEL ForegroundColor;
  EFI_GRAPHICS_OUTPUT_BLT_PIXEL BackgroundColor;
  EFI_FONT_INFO_MASK FontInfoMask;
  EFI_FONT_INFO FontInfo;
} EFI_FONT_DISPLAY_INFO;
UEFI_ASSERT_SIZE(EFI_FONT_DISPLAY_INFO, 20, 20);
UEFI_ASSERT_OFFSET(EFI_FONT_DISPLAY_INFO, FontInfoMask, 8, 8);
UEFI_ASSERT_OFFSET(EFI_FONT_DISPLAY_INFO, FontInfo, 12, 12);

// Either a bitmap of Width x Height pixels, or (with EFI_HII_DIRECT_TO_SCREEN) the screen to
// draw on, Width x Height being the screen's size.
typedef struct {
  UINT16 Width;
  UINT16 Height;
  union {
    EFI_GRAPHICS_OUTPUT_BLT_PIXEL *Bitmap;
    EFI_GRAPHICS_OUTPUT_PROTOCOL *Screen;
  } Image;
} EFI_IMAGE_OUTPUT;
UEFI_ASSERT_SIZE(EFI_IMAGE_OUTPUT, 16, 8);
UEFI_ASSERT_OFFSET(EFI_IMAGE_OUTPUT, Image, 8, 4);

typedef struct {
  UINTN StartIndex;
  UINTN EndIndex;
  UINTN LineHeight;
  UINTN LineWidth;
  UINTN BaselineOffset;
} EFI_HII_ROW_INFO;

typedef struct EFI_HII_FONT_PROTOCOL EFI_HII_FONT_PROTOCOL;

typedef EFI_STATUS(EFIAPI *EFI_HII_STRING_TO_IMAGE)(
    const EFI_HII_FONT_PROTOCOL *This, EFI_HII_OUT_FLAGS Flags, const EFI_STRING String,
    const EFI_FONT_DISPLAY_INFO *StringInfo, EFI_IMAGE_OUTPUT **Blt, UINTN BltX, UINTN BltY,
    EFI_HII_ROW_INFO **RowInfoArray, UINTN *RowInfoArraySize, UINTN *ColumnInfoArray);
typedef EFI_STATUS(EFIAPI *EFI_HII_STRING_ID_TO_IMAGE)(
    const EFI_HII_FONT_PROTOCOL *This, EFI_HII_OUT_FLAGS Flags, EFI_HII_HANDLE PackageList,
    EFI_STRING_ID StringId, const CHAR8 *Language, const EFI_FONT_DISPLAY_INFO *StringInfo,
    EFI_IMAGE_OUTPUT **Blt, UINTN BltX, UINTN BltY, EFI_HII_ROW_INFO **RowInfoArray,
    UINTN *RowInfoArraySize, UINTN *ColumnInfoArray);
typedef EFI_STATUS(EFIAPI *EFI_HII_GET_GLYPH)(const EFI_HII_FONT_PROTOCOL *This, CHAR16 Char,
                                              const EFI_FONT_DISPLAY_INFO *StringInfo,
                                              EFI_IMAGE_OUTPUT **Blt, UINTN *Baseline);
typedef EFI_STATUS(EFIAPI *EFI_HII_GET_FONT_INFO)(const EFI_HII_FONT_PROTOCOL *This,
                                                  VOID **FontHandle,
                                                  const EFI_FONT_DISPLAY_INFO *StringInfoIn,
                                                  EFI_FONT_DISPLAY_INFO **StringInfoOut,
                                                  const EFI_STRING String);

struct EFI_HII_FONT_PROTOCOL {
  EFI_HII_STRING_TO_IMAGE StringToImage;
  EFI_HII_STRING_ID_TO_IMAGE StringIdToImage;
  EFI_HII_GET_GLYPH GetGlyph;
  EFI_HII_GET_FONT_INFO GetFontInfo;
};
UEFI_ASSERT_SIZE(EFI_HII_FONT_PROTOCOL, 32, 16);
