// A Framework firmware volume (EFI_FIRMWARE_VOLUME_PROTOCOL) holding raw sections of files,
// e.g. the default logo. Only ReadSection works; the other entries answer Unsupported.
//
// ReadSection: with *Buffer null the volume allocates the section from pool (the caller frees
// it) and sets *BufferSize; otherwise it copies at most *BufferSize bytes into the caller's
// buffer and, when the section is longer, returns EFI_WARN_BUFFER_TOO_SMALL with *BufferSize
// left at the number of bytes copied. Not Found for a file, section type or instance the
// volume does not hold.
#pragma once

#include <optional>
#include <vector>

#include "uefi/Uefi.h"

namespace sim {

class UefiEnvironment;

class FirmwareVolumeDouble {
 public:
  FirmwareVolumeDouble();
  FirmwareVolumeDouble(const FirmwareVolumeDouble &) = delete;
  FirmwareVolumeDouble &operator=(const FirmwareVolumeDouble &) = delete;

  EFI_FIRMWARE_VOLUME_PROTOCOL *Protocol() { return &binding_.protocol; }
  // Installs the protocol on a new handle; returns the handle.
  EFI_HANDLE Install(UefiEnvironment &env);

  // Another raw section of `file` (instance 0 is the first added).
  void AddRawSection(const EFI_GUID &file, std::vector<uint8_t> bytes);
  // Every ReadSection returns `status` from now on and touches no output.
  void FailReadSection(EFI_STATUS status) { failure_ = status; }

  struct ReadSectionCall {
    EFI_GUID File;
    EFI_SECTION_TYPE SectionType;
    UINTN SectionInstance;
    bool CallerBuffer;  // *Buffer was not null on entry
    EFI_STATUS Status;
  };
  const std::vector<ReadSectionCall> &ReadSectionCalls() const { return calls_; }

 private:
  struct Binding {
    EFI_FIRMWARE_VOLUME_PROTOCOL protocol;
    FirmwareVolumeDouble *owner;
  };
  struct Section {
    EFI_GUID file;
    std::vector<uint8_t> bytes;
  };

  static EFI_STATUS EFIAPI ReadSection(EFI_FIRMWARE_VOLUME_PROTOCOL *self, const EFI_GUID *nameGuid,
                                       EFI_SECTION_TYPE sectionType, UINTN sectionInstance,
                                       VOID **buffer, UINTN *bufferSize,
                                       UINT32 *authenticationStatus);
  EFI_STATUS Serve(const EFI_GUID &file, EFI_SECTION_TYPE sectionType, UINTN sectionInstance,
                   VOID **buffer, UINTN *bufferSize, UINT32 *authenticationStatus);

  Binding binding_;
  std::vector<Section> sections_;
  std::optional<EFI_STATUS> failure_;
  std::vector<ReadSectionCall> calls_;
};

}  // namespace sim
