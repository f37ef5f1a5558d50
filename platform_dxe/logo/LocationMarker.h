// Location markers: the position a logo image carries for the overlay images drawn after it.
// Bitmaps keep it in the two reserved words of the file header, format 5 images at offsets 8
// and 10, JPEG images in a comment segment whose data start with "COL$".
#pragma once

#include "../../uefi/UefiBase.h"

// TRUE with the marker in (*X, *Y) when an image of that format carries one that lies wholly
// inside its Size bytes; FALSE (outputs untouched) otherwise. Formats without markers answer
// FALSE.
BOOLEAN ReadLocationMarker(UINT32 Format, const VOID *Image, UINTN Size, UINT16 *X, UINT16 *Y);
