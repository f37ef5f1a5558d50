// DecodeBitmap: a bitmap file in memory to a buffer of block-transfer pixels, top row first.
#pragma once

#include "../../uefi/GraphicsOutput.h"
#include "../../uefi/UefiBase.h"

// Decodes uncompressed 1-, 4-, 8- and 24-bit and run-length 8-bit bitmaps.
//
// *OutBuffer null on entry: the decoder allocates the Width x Height x 4 bytes from pool,
// stores the size in *OutBufferSize and hands the buffer over. Otherwise *OutBuffer is the
// caller's buffer of *OutBufferSize bytes. Only blue, green and red are written into a
// caller's buffer: a pixel's reserved byte keeps what the buffer held. In the decoder's own
// buffer, and in run-length pictures (cleared first), reserved bytes are 0.
//
// EFI_SUCCESS              decoded; *OutHeight and *OutWidth set.
// EFI_UNSUPPORTED          not a bitmap this decoder reads, or one whose headers, palette
//                          entries, rows or codes reach past ImageSize. Refusals found in the
//                          headers leave every output untouched. Refusals found in the pixel
//                          data (depth, rows, palette entries used, codes) store the dimensions
//                          and, when the decoder would allocate, the size it would need, and
//                          leave *OutBuffer null; nothing is allocated and no pixel written.
// EFI_BUFFER_TOO_SMALL     the caller's buffer is smaller than needed: *OutBufferSize holds
//                          the size needed; nothing else touched.
// EFI_OUT_OF_RESOURCES     the allocation failed: *OutBuffer null, *OutBufferSize the size.
// EFI_INVALID_PARAMETER    a null pointer argument.
EFI_STATUS DecodeBitmap(const VOID *Image, UINTN ImageSize,
                        EFI_GRAPHICS_OUTPUT_BLT_PIXEL **OutBuffer, UINTN *OutBufferSize,
                        UINTN *OutHeight, UINTN *OutWidth);
