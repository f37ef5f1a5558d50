#include "sim/uefi/logo/FirmwareVolumeDouble.h"

#include <algorithm>
#include <cstring>

#include "sim/uefi/UefiEnvironment.h"
#include "sim/uefi/logo/LogoGuids.h"

namespace sim {
namespace {

bool SameGuid(const EFI_GUID &a, const EFI_GUID &b) { return std::memcmp(&a, &b, sizeof a) == 0; }

EFI_STATUS EFIAPI GetVolumeAttributes(EFI_FIRMWARE_VOLUME_PROTOCOL *,
                                      FRAMEWORK_EFI_FV_ATTRIBUTES *) {
  return EFI_UNSUPPORTED;
}
EFI_STATUS EFIAPI SetVolumeAttributes(EFI_FIRMWARE_VOLUME_PROTOCOL *,
                                      FRAMEWORK_EFI_FV_ATTRIBUTES *) {
  return EFI_UNSUPPORTED;
}
EFI_STATUS EFIAPI ReadFile(EFI_FIRMWARE_VOLUME_PROTOCOL *, const EFI_GUID *, VOID **, UINTN *,
                           EFI_FV_FILETYPE *, EFI_FV_FILE_ATTRIBUTES *, UINT32 *) {
  return EFI_UNSUPPORTED;
}
EFI_STATUS EFIAPI WriteFile(EFI_FIRMWARE_VOLUME_PROTOCOL *, UINT32, UINT32, VOID *) {
  return EFI_UNSUPPORTED;
}
EFI_STATUS EFIAPI GetNextFile(EFI_FIRMWARE_VOLUME_PROTOCOL *, VOID *, EFI_FV_FILETYPE *, EFI_GUID *,
                              EFI_FV_FILE_ATTRIBUTES *, UINTN *) {
  return EFI_UNSUPPORTED;
}

}  // namespace

FirmwareVolumeDouble::FirmwareVolumeDouble() {
  binding_.protocol = EFI_FIRMWARE_VOLUME_PROTOCOL{};
  binding_.protocol.GetVolumeAttributes = &GetVolumeAttributes;
  binding_.protocol.SetVolumeAttributes = &SetVolumeAttributes;
  binding_.protocol.ReadFile = &ReadFile;
  binding_.protocol.ReadSection = &FirmwareVolumeDouble::ReadSection;
  binding_.protocol.WriteFile = &WriteFile;
  binding_.protocol.GetNextFile = &GetNextFile;
  binding_.protocol.KeySize = 0;
  binding_.protocol.ParentHandle = nullptr;
  binding_.owner = this;
}

EFI_HANDLE FirmwareVolumeDouble::Install(UefiEnvironment &env) {
  return env.InstallProtocolOnNewHandle(kFirmwareVolumeProtocolGuid, Protocol());
}

void FirmwareVolumeDouble::AddRawSection(const EFI_GUID &file, std::vector<uint8_t> bytes) {
  sections_.push_back(Section{file, std::move(bytes)});
}

EFI_STATUS EFIAPI FirmwareVolumeDouble::ReadSection(
    EFI_FIRMWARE_VOLUME_PROTOCOL *self, const EFI_GUID *nameGuid, EFI_SECTION_TYPE sectionType,
    UINTN sectionInstance, VOID **buffer, UINTN *bufferSize, UINT32 *authenticationStatus) {
  FirmwareVolumeDouble &volume = *reinterpret_cast<Binding *>(self)->owner;
  ReadSectionCall call{};
  if (nameGuid != nullptr) call.File = *nameGuid;
  call.SectionType = sectionType;
  call.SectionInstance = sectionInstance;
  call.CallerBuffer = buffer != nullptr && *buffer != nullptr;
  if (volume.failure_) {
    call.Status = *volume.failure_;
  } else if (nameGuid == nullptr || buffer == nullptr || bufferSize == nullptr ||
             authenticationStatus == nullptr) {
    call.Status = EFI_INVALID_PARAMETER;
  } else {
    call.Status = volume.Serve(*nameGuid, sectionType, sectionInstance, buffer, bufferSize,
                               authenticationStatus);
  }
  volume.calls_.push_back(call);
  return call.Status;
}

EFI_STATUS FirmwareVolumeDouble::Serve(const EFI_GUID &file, EFI_SECTION_TYPE sectionType,
                                       UINTN sectionInstance, VOID **buffer, UINTN *bufferSize,
                                       UINT32 *authenticationStatus) {
  if (sectionType != EFI_SECTION_RAW) return EFI_NOT_FOUND;
  UINTN instance = 0;
  for (const Section &section : sections_) {
    if (!SameGuid(section.file, file)) continue;
    if (instance++ != sectionInstance) continue;
    const size_t size = section.bytes.size();
    *authenticationStatus = 0;
    if (*buffer == nullptr) {
      void *copy = nullptr;
      if (EFI_ERROR(UefiEnvironment::Current().Pool().Allocate(EfiBootServicesData, size, &copy))) {
        return EFI_OUT_OF_RESOURCES;
      }
      if (size != 0) std::memcpy(copy, section.bytes.data(), size);
      *buffer = copy;
      *bufferSize = size;
      return EFI_SUCCESS;
    }
    const size_t copied = std::min<size_t>(size, *bufferSize);
    if (copied != 0) std::memcpy(*buffer, section.bytes.data(), copied);
    *bufferSize = copied;
    return copied < size ? EFI_WARN_BUFFER_TOO_SMALL : EFI_SUCCESS;
  }
  return EFI_NOT_FOUND;
}

}  // namespace sim
