#include "ModuleState.h"
#include "PlatformServices.h"

VOID *AllocatePoolBuffer(UINTN Size) {
  VOID *Buffer = nullptr;
  EFI_STATUS Status = DxeModule.BootServices->AllocatePool(EfiBootServicesData, Size, &Buffer);
  // The output is undefined on failure: never hand it on.
  if (EFI_ERROR(Status)) return nullptr;
  return Buffer;
}

VOID *AllocateZeroedPool(UINTN Size) {
  VOID *Buffer = AllocatePoolBuffer(Size);
  if (Buffer != nullptr) DxeModule.BootServices->SetMem(Buffer, Size, 0);
  return Buffer;
}
