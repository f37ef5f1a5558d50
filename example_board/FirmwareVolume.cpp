// A Framework firmware volume with one file, the default logo (DEFAULT_LOGO_FILE_GUID), whose
// only section is raw (EFI_SECTION_RAW) and holds the bitmap file. Only ReadSection serves
// anything; the volume is read-only and cannot be walked.
#include "BoardImages.h"
#include "BoardLogoServices.h"

namespace {

const EFI_GUID kDefaultLogoFile = DEFAULT_LOGO_FILE_GUID;

EFI_BOOT_SERVICES *gBootServices;
EFI_FIRMWARE_VOLUME_PROTOCOL gVolume;

EFI_STATUS EFIAPI GetVolumeAttributes(EFI_FIRMWARE_VOLUME_PROTOCOL *This,
                                      FRAMEWORK_EFI_FV_ATTRIBUTES *Attributes) {
  (void)This;
  (void)Attributes;
  return EFI_UNSUPPORTED;
}

EFI_STATUS EFIAPI SetVolumeAttributes(EFI_FIRMWARE_VOLUME_PROTOCOL *This,
                                      FRAMEWORK_EFI_FV_ATTRIBUTES *Attributes) {
  (void)This;
  (void)Attributes;
  return EFI_UNSUPPORTED;
}

EFI_STATUS EFIAPI ReadFile(EFI_FIRMWARE_VOLUME_PROTOCOL *This, const EFI_GUID *NameGuid,
                           VOID **Buffer, UINTN *BufferSize, EFI_FV_FILETYPE *FoundType,
                           EFI_FV_FILE_ATTRIBUTES *FileAttributes, UINT32 *AuthenticationStatus) {
  (void)This;
  (void)NameGuid;
  (void)Buffer;
  (void)BufferSize;
  (void)FoundType;
  (void)FileAttributes;
  (void)AuthenticationStatus;
  return EFI_UNSUPPORTED;
}

// With *Buffer null the section goes into a new pool buffer that the caller frees. With a
// caller's buffer, as much as fits is copied; a longer section is cut and reported with
// EFI_WARN_BUFFER_TOO_SMALL, *BufferSize then holding the whole section's size.
EFI_STATUS EFIAPI ReadSection(EFI_FIRMWARE_VOLUME_PROTOCOL *This, const EFI_GUID *NameGuid,
                              EFI_SECTION_TYPE SectionType, UINTN SectionInstance, VOID **Buffer,
                              UINTN *BufferSize, UINT32 *AuthenticationStatus) {
  (void)This;
  if (NameGuid == nullptr || Buffer == nullptr || BufferSize == nullptr ||
      AuthenticationStatus == nullptr) {
    return EFI_INVALID_PARAMETER;
  }
  if (!GuidsEqual(*NameGuid, kDefaultLogoFile) || SectionType != EFI_SECTION_RAW ||
      SectionInstance != 0) {
    return EFI_NOT_FOUND;
  }
  BoardImage Logo = BoardDefaultLogoImage();
  *AuthenticationStatus = 0;
  if (*Buffer == nullptr) {
    VOID *Copy = BoardPoolCopy(gBootServices, Logo.File, Logo.Size);
    if (Copy == nullptr) return EFI_OUT_OF_RESOURCES;
    *Buffer = Copy;
    *BufferSize = Logo.Size;
    return EFI_SUCCESS;
  }
  UINTN Fits = *BufferSize < Logo.Size ? *BufferSize : Logo.Size;
  gBootServices->CopyMem(*Buffer, Logo.File, Fits);
  EFI_STATUS Status = Fits < Logo.Size ? EFI_WARN_BUFFER_TOO_SMALL : EFI_SUCCESS;
  *BufferSize = Logo.Size;
  return Status;
}

EFI_STATUS EFIAPI WriteFile(EFI_FIRMWARE_VOLUME_PROTOCOL *This, UINT32 NumberOfFiles,
                            UINT32 WritePolicy, VOID *FileData) {
  (void)This;
  (void)NumberOfFiles;
  (void)WritePolicy;
  (void)FileData;
  return EFI_WRITE_PROTECTED;
}

EFI_STATUS EFIAPI GetNextFile(EFI_FIRMWARE_VOLUME_PROTOCOL *This, VOID *Key,
                              EFI_FV_FILETYPE *FileType, EFI_GUID *NameGuid,
                              EFI_FV_FILE_ATTRIBUTES *Attributes, UINTN *Size) {
  (void)This;
  (void)Key;
  (void)FileType;
  (void)NameGuid;
  (void)Attributes;
  (void)Size;
  return EFI_UNSUPPORTED;
}

}  // namespace

EFI_FIRMWARE_VOLUME_PROTOCOL *ExampleFirmwareVolume(EFI_SYSTEM_TABLE *SystemTable) {
  gBootServices = SystemTable->BootServices;
  gVolume.GetVolumeAttributes = GetVolumeAttributes;
  gVolume.SetVolumeAttributes = SetVolumeAttributes;
  gVolume.ReadFile = ReadFile;
  gVolume.ReadSection = ReadSection;
  gVolume.WriteFile = WriteFile;
  gVolume.GetNextFile = GetNextFile;
  gVolume.KeySize = 0;
  gVolume.ParentHandle = nullptr;
  return &gVolume;
}
