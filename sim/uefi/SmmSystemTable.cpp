#include "sim/uefi/SmmSystemTable.h"

#include "sim/uefi/ServiceScope.h"

namespace sim {
namespace {

EFI_STATUS EFIAPI SmmAllocatePoolEntry(EFI_MEMORY_TYPE poolType, UINTN size, VOID **buffer) {
  ServiceScope call(Service::SmmAllocatePool, SizeText(size));
  if (call.Injected()) return call.Return(*call.Injected());
  return call.Return(call.Env().Smm().Pool().Allocate(poolType, size, buffer));
}

EFI_STATUS EFIAPI SmmFreePoolEntry(VOID *buffer) {
  ServiceScope call(Service::SmmFreePool, PointerText(buffer));
  if (call.Injected()) return call.Return(*call.Injected());
  return call.Return(call.Env().Smm().Pool().Free(buffer));
}

template <typename... Args>
EFI_STATUS EFIAPI NotProvided(Args...) {
  return EFI_UNSUPPORTED;
}

}  // namespace

SmmSystemTable::SmmSystemTable() {
  table_ = EFI_SMM_SYSTEM_TABLE{};
  table_.Hdr.Signature = EFI_SMM_SYSTEM_TABLE_SIGNATURE;
  table_.Hdr.Revision = (0u << 16) | 90u;  // 0.90
  table_.Hdr.HeaderSize = sizeof(EFI_SMM_SYSTEM_TABLE);
  table_.SmmInstallConfigurationTable =
      NotProvided<EFI_SMM_SYSTEM_TABLE *, EFI_GUID *, VOID *, UINTN>;
  table_.SmmAllocatePool = SmmAllocatePoolEntry;
  table_.SmmFreePool = SmmFreePoolEntry;
  table_.SmmAllocatePages = NotProvided<UINT32, EFI_MEMORY_TYPE, UINTN, EFI_PHYSICAL_ADDRESS *>;
  table_.SmmFreePages = NotProvided<EFI_PHYSICAL_ADDRESS, UINTN>;
  table_.SmmStartupThisAp = NotProvided<EFI_AP_PROCEDURE, UINTN, VOID *>;
  table_.NumberOfCpus = 1;
}

}  // namespace sim
