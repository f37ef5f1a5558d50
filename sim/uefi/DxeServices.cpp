#include "sim/uefi/DxeServices.h"

#include "sim/uefi/ServiceScope.h"

namespace sim {
namespace {

constexpr UINT32 kDxeServicesRevision = (1u << 16) | 70u;  // PI 1.70

EFI_STATUS EFIAPI SetMemorySpaceAttributesEntry(EFI_PHYSICAL_ADDRESS base, UINT64 length,
                                                UINT64 attributes) {
  ServiceScope call(Service::SetMemorySpaceAttributes,
                    HexText(base) + " " + HexText(length) + " " + HexText(attributes));
  if (call.Injected()) return call.Return(*call.Injected());
  if (length == 0) return call.Return(EFI_INVALID_PARAMETER);
  call.Env().Dxe().RecordAttributes(MemorySpaceAttributesCall{base, length, attributes});
  return call.Return(EFI_SUCCESS);
}

// Members the simulation does not provide: they answer Unsupported without a log entry of
// their own (no Service names them).
template <typename... Args>
EFI_STATUS EFIAPI NotProvided(Args...) {
  return EFI_UNSUPPORTED;
}

}  // namespace

DxeServices::DxeServices() {
  table_ = EFI_DXE_SERVICES{};
  table_.Hdr.Signature = DXE_SERVICES_SIGNATURE;
  table_.Hdr.Revision = kDxeServicesRevision;
  table_.Hdr.HeaderSize = sizeof(EFI_DXE_SERVICES);
  table_.AddMemorySpace = NotProvided<EFI_GCD_MEMORY_TYPE, EFI_PHYSICAL_ADDRESS, UINT64, UINT64>;
  table_.AllocateMemorySpace =
      NotProvided<EFI_GCD_ALLOCATE_TYPE, EFI_GCD_MEMORY_TYPE, UINTN, UINT64,
                  EFI_PHYSICAL_ADDRESS *, EFI_HANDLE, EFI_HANDLE>;
  table_.FreeMemorySpace = NotProvided<EFI_PHYSICAL_ADDRESS, UINT64>;
  table_.RemoveMemorySpace = NotProvided<EFI_PHYSICAL_ADDRESS, UINT64>;
  table_.GetMemorySpaceDescriptor =
      NotProvided<EFI_PHYSICAL_ADDRESS, EFI_GCD_MEMORY_SPACE_DESCRIPTOR *>;
  table_.SetMemorySpaceAttributes = SetMemorySpaceAttributesEntry;
  table_.GetMemorySpaceMap = NotProvided<UINTN *, EFI_GCD_MEMORY_SPACE_DESCRIPTOR **>;
  table_.AddIoSpace = NotProvided<EFI_GCD_IO_TYPE, EFI_PHYSICAL_ADDRESS, UINT64>;
  table_.AllocateIoSpace = NotProvided<EFI_GCD_ALLOCATE_TYPE, EFI_GCD_IO_TYPE, UINTN, UINT64,
                                       EFI_PHYSICAL_ADDRESS *, EFI_HANDLE, EFI_HANDLE>;
  table_.FreeIoSpace = NotProvided<EFI_PHYSICAL_ADDRESS, UINT64>;
  table_.RemoveIoSpace = NotProvided<EFI_PHYSICAL_ADDRESS, UINT64>;
  table_.GetIoSpaceDescriptor = NotProvided<EFI_PHYSICAL_ADDRESS, EFI_GCD_IO_SPACE_DESCRIPTOR *>;
  table_.GetIoSpaceMap = NotProvided<UINTN *, EFI_GCD_IO_SPACE_DESCRIPTOR **>;
  table_.Dispatch = NotProvided<>;
  table_.Schedule = NotProvided<EFI_HANDLE, const EFI_GUID *>;
  table_.Trust = NotProvided<EFI_HANDLE, const EFI_GUID *>;
  table_.ProcessFirmwareVolume = NotProvided<const VOID *, UINTN, EFI_HANDLE *>;
  table_.SetMemorySpaceCapabilities = NotProvided<EFI_PHYSICAL_ADDRESS, UINT64, UINT64>;
}

}  // namespace sim
