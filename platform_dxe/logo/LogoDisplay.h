// The boot logo and graphics console: graphics mode selection and text console restore, text
// drawn on the graphics screen, the boot logo hand-off with its ready-to-boot erase, and the
// logo display itself. The protocol slots (ShowBootLogo, RestoreTextConsole,
// SetGraphicsResolution) are declared in PlatformServices.h.
#pragma once

#include "../../include/BoardLogoProtocols.h"
#include "../../uefi/Uefi.h"
#include "../../uefi/VarArgs.h"

// ---- Graphics mode and text console restore ----

// Puts Gop into the mode of exactly Width x Height (800 x 600 when there is none); programs
// the current mode again when another display or the legacy video mode byte disagrees.
EFI_STATUS SelectGraphicsMode(EFI_GRAPHICS_OUTPUT_PROTOCOL *Gop, UINT32 Width, UINT32 Height);
// FALSE when a display with a device path is at another resolution than the console.
BOOLEAN AllDisplaysMatchConsole();
// Installs TEXT_CONSOLE_RESTORED_PROTOCOL on a new handle; always Success.
EFI_STATUS SignalTextConsoleRestored();

// ---- Text on the graphics screen ----

// Character cell used for layout.
#define BADGE_GLYPH_WIDTH 8
#define BADGE_LINE_HEIGHT 19
// The formatting buffer of PrintAtPosition, in bytes.
#define PRINT_BUFFER_BYTES 65536

extern const EFI_GRAPHICS_OUTPUT_BLT_PIXEL AttributeColorTable[16];

UINTN WideStringLength(const CHAR16 *String);
// Formats and draws text with its top-left corner at (X, Y); null colours come from the
// console's text attribute.
EFI_STATUS EFIAPI PrintAtPosition(UINTN X, UINTN Y, const EFI_GRAPHICS_OUTPUT_BLT_PIXEL *Foreground,
                                  const EFI_GRAPHICS_OUTPUT_BLT_PIXEL *Background,
                                  const CHAR16 *Format, ...);
EFI_STATUS PrintAtPositionWorker(EFI_GRAPHICS_OUTPUT_PROTOCOL *Gop, EFI_UGA_DRAW_PROTOCOL *Uga,
                                 EFI_SIMPLE_TEXT_OUTPUT_PROTOCOL *TextOut, UINTN X, UINTN Y,
                                 const EFI_GRAPHICS_OUTPUT_BLT_PIXEL *Foreground,
                                 const EFI_GRAPHICS_OUTPUT_BLT_PIXEL *Background,
                                 const CHAR16 *Format, VA_LIST Arguments);
EFI_STATUS DrawBadgeString(UINTN X, UINTN Y, UINT32 Foreground, UINT32 Background,
                           const CHAR16 *String);
EFI_STATUS DrawBadgeStrings(LOGO_SOURCE_PROTOCOL *Source, UINT8 A, UINT8 B);

// ---- Boot logo hand-off and ready-to-boot erase ----

EFI_STATUS HandOffBootLogo(EFI_BOOT_LOGO_PROTOCOL *BootLogo);
EFI_STATUS PrepareBootLogo(EFI_GRAPHICS_OUTPUT_BLT_PIXEL **Pixels, UINTN *X, UINTN *Y,
                           UINTN *Width, UINTN *Height);
EFI_STATUS GetBootLogoImage(VOID **Image, UINTN *ImageSize, UINT32 *Format);
EFI_STATUS DecodeLogoImage(VOID *Image, UINTN ImageSize, UINT32 Format,
                           EFI_GRAPHICS_OUTPUT_BLT_PIXEL **Pixels, UINTN *Width, UINTN *Height);
EFI_STATUS CreateReadyToBootEvent(EFI_TPL Tpl, EFI_EVENT_NOTIFY Notify, VOID *Context,
                                  EFI_EVENT *Event);
VOID EFIAPI EmptyNotify(EFI_EVENT Event, VOID *Context);
VOID EFIAPI EraseBadgeStrings(EFI_EVENT Event, VOID *Context);

// ---- Boot logo display ----

// The default logo file's raw section from the firmware volumes, in a pool buffer the caller
// frees.
EFI_STATUS FetchDefaultLogo(VOID **Image, UINTN *ImageSize);
