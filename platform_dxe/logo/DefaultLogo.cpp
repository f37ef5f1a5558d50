// The default logo: a bitmap kept as a raw section of a known file in the firmware volumes,
// drawn when the board has no logo source.
#include "../ModuleState.h"
#include "LogoDisplay.h"
#include "LogoGuids.h"

EFI_STATUS FetchDefaultLogo(VOID **Image, UINTN *ImageSize) {
  EFI_BOOT_SERVICES *Bs = DxeModule.BootServices;
  UINTN HandleCount = 0;
  EFI_HANDLE *Handles = nullptr;
  if (EFI_ERROR(Bs->LocateHandleBuffer(ByProtocol, &kFirmwareVolumeGuid, nullptr, &HandleCount,
                                       &Handles)))
    return EFI_NOT_FOUND;

  EFI_STATUS Result = EFI_NOT_FOUND;
  for (UINTN i = 0; i < HandleCount; ++i) {
    EFI_FIRMWARE_VOLUME_PROTOCOL *Volume = nullptr;
    if (EFI_ERROR(Bs->HandleProtocol(Handles[i], &kFirmwareVolumeGuid, (VOID **)&Volume)) ||
        Volume == nullptr)
      continue;
    // A null buffer asks the volume to allocate one of the section's size.
    VOID *Section = nullptr;
    UINTN SectionSize = 0;
    UINT32 AuthenticationStatus = 0;
    EFI_STATUS Status = Volume->ReadSection(Volume, &kDefaultLogoFileGuid, EFI_SECTION_RAW, 0,
                                            &Section, &SectionSize, &AuthenticationStatus);
    if (Status == EFI_BUFFER_TOO_SMALL) {
      Result = EFI_BUFFER_TOO_SMALL;
      break;
    }
    if (EFI_ERROR(Status) || Section == nullptr) continue;
    *Image = Section;
    *ImageSize = SectionSize;
    Result = EFI_SUCCESS;
    break;
  }
  if (Handles != nullptr) Bs->FreePool(Handles);
  return Result;
}
