#include "sim/uefi/PeiEnvironment.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>


namespace sim {

namespace {

PeiEnvironment *CurrentPei = nullptr;

constexpr UINT16 kHobAlignment = 8;

uint8_t *Bytes(const void *p) { return (uint8_t *)p; }

EFI_STATUS EFIAPI PeiCreateHob(const EFI_PEI_SERVICES **, UINT16 Type, UINT16 Length,
                               VOID **Hob) {
  PeiEnvironment &Env = PeiEnvironment::Current();
  Env.RecordCall("CreateHob(" + std::to_string(Type) + ", " + std::to_string(Length) + ")");
  return Env.CreateHob(Type, Length, Hob);
}

EFI_STATUS EFIAPI PeiGetHobList(const EFI_PEI_SERVICES **, VOID **HobList) {
  PeiEnvironment &Env = PeiEnvironment::Current();
  Env.RecordCall("GetHobList");
  if (HobList == nullptr) return EFI_INVALID_PARAMETER;
  *HobList = (VOID *)&Env.Handoff();
  return EFI_SUCCESS;
}

VOID EFIAPI PeiCopyMem(VOID *Destination, const VOID *Source, UINTN Length) {
  PeiEnvironment::Current().RecordCall("CopyMem(" + std::to_string(Length) + ")");
  std::memmove(Destination, Source, Length);
}

VOID EFIAPI PeiSetMem(VOID *Buffer, UINTN Size, UINT8 Value) {
  PeiEnvironment::Current().RecordCall("SetMem(" + std::to_string(Size) + ")");
  std::memset(Buffer, Value, Size);
}

VOID EFIAPI PeiUnprovided() {
  PeiEnvironment::Current().RecordError("a PEI service the simulation does not provide");
}

}  // namespace

PeiEnvironment::PeiEnvironment(size_t hobSpace) : storage_((hobSpace + 7) / 8) {
  if (CurrentPei != nullptr) {
    std::fprintf(stderr, "sim::PeiEnvironment: another environment is current\n");
    std::abort();
  }
  CurrentPei = this;
  std::memset(storage_.data(), kUnwrittenFill, storage_.size() * 8);

  table_.Hdr.Signature = PEI_SERVICES_SIGNATURE;
  table_.Hdr.HeaderSize = sizeof(table_);
  EFI_PEI_UNUSED_SERVICE *Slots[] = {
      &table_.InstallPpi,        &table_.ReInstallPpi,     &table_.LocatePpi,
      &table_.NotifyPpi,         &table_.GetBootMode,      &table_.SetBootMode,
      &table_.FfsFindNextVolume, &table_.FfsFindNextFile,  &table_.FfsFindSectionData,
      &table_.InstallPeiMemory,  &table_.AllocatePages,    &table_.AllocatePool,
      &table_.ReportStatusCode,  &table_.ResetSystem,      &table_.FfsFindFileByName,
      &table_.FfsGetFileInfo,    &table_.FfsGetVolumeInfo, &table_.RegisterForShadow,
      &table_.FindSectionData3,  &table_.FfsGetFileInfo2,  &table_.ResetSystem2,
      &table_.FreePages};
  for (EFI_PEI_UNUSED_SERVICE *Slot : Slots) *Slot = PeiUnprovided;
  table_.GetHobList = PeiGetHobList;
  table_.CreateHob = PeiCreateHob;
  table_.CopyMem = PeiCopyMem;
  table_.SetMem = PeiSetMem;

  // The list starts with the hand-off information table and ends with the end marker.
  uint8_t *Base = Bytes(storage_.data());
  auto &Phit = MutableHandoff();
  std::memset(&Phit, 0, sizeof(Phit));
  Phit.Header.HobType = EFI_HOB_TYPE_HANDOFF;
  Phit.Header.HobLength = sizeof(Phit);
  Phit.Version = 9;
  Phit.EfiMemoryBottom = (UINTN)Base;
  Phit.EfiMemoryTop = (UINTN)(Base + storage_.size() * 8);
  Phit.EfiFreeMemoryTop = Phit.EfiMemoryTop;
  WriteEndOfList(Base + sizeof(Phit));
}

PeiEnvironment::~PeiEnvironment() { CurrentPei = nullptr; }

PeiEnvironment &PeiEnvironment::Current() {
  if (CurrentPei == nullptr) {
    std::fprintf(stderr, "sim::PeiEnvironment: no current environment\n");
    std::abort();
  }
  return *CurrentPei;
}

const EFI_HOB_HANDOFF_INFO_TABLE &PeiEnvironment::Handoff() const {
  return *(const EFI_HOB_HANDOFF_INFO_TABLE *)storage_.data();
}

EFI_HOB_HANDOFF_INFO_TABLE &PeiEnvironment::MutableHandoff() {
  return *(EFI_HOB_HANDOFF_INFO_TABLE *)storage_.data();
}

void PeiEnvironment::WriteEndOfList(uint8_t *at) {
  auto *End = (EFI_HOB_GENERIC_HEADER *)at;
  End->HobType = EFI_HOB_TYPE_END_OF_HOB_LIST;
  End->HobLength = sizeof(EFI_HOB_GENERIC_HEADER);
  End->Reserved = 0;
  auto &Phit = MutableHandoff();
  Phit.EfiEndOfHobList = (UINTN)at;
  Phit.EfiFreeMemoryBottom = (UINTN)(at + sizeof(EFI_HOB_GENERIC_HEADER));
}

void PeiEnvironment::FailNthCreateHob(unsigned nth, EFI_STATUS status) {
  pendingFailures_.push_back(nth == 0 ? 0 : nth - 1);
  pendingStatuses_.push_back(status);
}

EFI_STATUS PeiEnvironment::CreateHob(UINT16 type, UINT16 length, VOID **hob) {
  std::optional<EFI_STATUS> Injected;
  for (size_t i = 0; i < pendingFailures_.size(); ++i) {
    if (pendingFailures_[i] == 0) {
      Injected = pendingStatuses_[i];
      pendingFailures_.erase(pendingFailures_.begin() + i);
      pendingStatuses_.erase(pendingStatuses_.begin() + i);
      break;
    }
  }
  for (unsigned &Countdown : pendingFailures_) --Countdown;
  if (Injected) return *Injected;

  if (hob == nullptr || length < sizeof(EFI_HOB_GENERIC_HEADER)) return EFI_INVALID_PARAMETER;
  // Every HOB length is a multiple of 8 so that the next header stays aligned.
  UINT32 Aligned = ((UINT32)length + kHobAlignment - 1) & ~(UINT32)(kHobAlignment - 1);
  if (Aligned > 0xFFF8) return EFI_OUT_OF_RESOURCES;

  auto &Phit = MutableHandoff();
  uint8_t *At = (uint8_t *)(UINTN)Phit.EfiEndOfHobList;
  uint64_t FreeBytes = Phit.EfiFreeMemoryTop - Phit.EfiFreeMemoryBottom;
  if (Aligned > FreeBytes) return EFI_OUT_OF_RESOURCES;

  auto *Header = (EFI_HOB_GENERIC_HEADER *)At;
  Header->HobType = type;
  Header->HobLength = (UINT16)Aligned;
  Header->Reserved = 0;
  WriteEndOfList(At + Aligned);
  *hob = At;
  return EFI_SUCCESS;
}

std::vector<const EFI_HOB_GENERIC_HEADER *> PeiEnvironment::Hobs() const {
  std::vector<const EFI_HOB_GENERIC_HEADER *> Result;
  const uint8_t *At = Bytes(storage_.data());
  const uint8_t *Limit = At + storage_.size() * 8;
  while (At + sizeof(EFI_HOB_GENERIC_HEADER) <= Limit) {
    auto *Header = (const EFI_HOB_GENERIC_HEADER *)At;
    if (Header->HobType == EFI_HOB_TYPE_END_OF_HOB_LIST) return Result;
    if (Header->HobLength < sizeof(EFI_HOB_GENERIC_HEADER) || Header->HobLength % 8 != 0) break;
    Result.push_back(Header);
    At += Header->HobLength;
  }
  std::fprintf(stderr, "sim::PeiEnvironment: the HOB list is corrupt\n");
  std::abort();
}

std::vector<const EFI_HOB_GUID_TYPE *> PeiEnvironment::GuidHobs(const EFI_GUID &name) const {
  std::vector<const EFI_HOB_GUID_TYPE *> Result;
  for (const EFI_HOB_GENERIC_HEADER *Header : Hobs()) {
    if (Header->HobType != EFI_HOB_TYPE_GUID_EXTENSION) continue;
    auto *Guid = (const EFI_HOB_GUID_TYPE *)Header;
    if (GuidsEqual(Guid->Name, name)) Result.push_back(Guid);
  }
  return Result;
}

size_t PeiEnvironment::ListSize() const {
  return (size_t)(Handoff().EfiEndOfHobList + sizeof(EFI_HOB_GENERIC_HEADER) -
                  (UINTN)storage_.data());
}

}  // namespace sim
