// The console devices that text on the graphics screen is drawn with.
#pragma once

#include "../../uefi/Uefi.h"

// Graphics Output of the console handle (null when it has none), else its UGA Draw, and its
// Simple Text Output. Fails with the status of the UGA lookup when the handle has no drawing
// device, or with the status of the text output lookup.
EFI_STATUS LocateConsoleTextDevices(EFI_GRAPHICS_OUTPUT_PROTOCOL **Gop, EFI_UGA_DRAW_PROTOCOL **Uga,
                                    EFI_SIMPLE_TEXT_OUTPUT_PROTOCOL **TextOut);
