// The board's logo pictures as 24-bit bitmap files, built in memory at start-up (nothing
// generated is kept in the source tree). They live in the image's data for the rest of boot;
// the logo source and the firmware volume hand out pool copies.
#pragma once

#include "uefi/UefiBase.h"

struct BoardImage {
  const UINT8 *File;
  UINTN Size;
};

// Builds every picture; call once from the entry point before anything is installed.
void BuildBoardImages();

BoardImage BoardLogoImage();         // the logo, with its location marker
BoardImage BoardOverlayImage();      // the overlay
BoardImage BoardDefaultLogoImage();  // the firmware volume's default logo
