// Slots whose subsystems (boot logo, text console, graphics mode) are not part of this build
// yet. They answer Unsupported so that a client that calls them early
// gets a clear status rather than a jump through a null slot.
#include "PlatformServices.h"

EFI_STATUS EFIAPI ShowBootLogo(UINTN) { return EFI_UNSUPPORTED; }

EFI_STATUS EFIAPI RestoreTextConsole() { return EFI_UNSUPPORTED; }

EFI_STATUS EFIAPI SetGraphicsResolution(VOID *, UINT32, UINT32) { return EFI_UNSUPPORTED; }
