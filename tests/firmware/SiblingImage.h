// Loads UEFI images that sit in the same folder, on the same volume, as the running
// application: the runner puts the drivers under test beside the check.
#pragma once

#include "uefi/Uefi.h"

// File names of the images under test.
#define BOARD_IMAGE_FILE u"ExampleBoardDxe.efi"
#define DRIVER_IMAGE_FILE u"PlatformServicesDxe.efi"

// Loads (does not start) the image FileName; ImageHandle receives the new image's handle.
EFI_STATUS LoadSiblingImage(EFI_HANDLE SelfImage, EFI_SYSTEM_TABLE *SystemTable,
                            const CHAR16 *FileName, EFI_HANDLE *ImageHandle);

struct StartedImage {
  EFI_HANDLE Handle = nullptr;
  EFI_STATUS LoadStatus = EFI_NOT_READY;
  EFI_STATUS StartStatus = EFI_NOT_READY;  // the entry point's status; untouched if not loaded
};

// Loads FileName and, when that worked, starts it.
StartedImage LoadAndStartSiblingImage(EFI_HANDLE SelfImage, EFI_SYSTEM_TABLE *SystemTable,
                                      const CHAR16 *FileName);
