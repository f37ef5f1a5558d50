// EFIAPI entry points of the runtime services table.
#include "sim/uefi/ServiceEntries.h"
#include "sim/uefi/ServiceScope.h"

namespace sim {
namespace {

using Kind = ServiceScope::Kind;

EFI_STATUS EFIAPI GetTimeEntry(EFI_TIME *time, EFI_TIME_CAPABILITIES *capabilities) {
  ServiceScope call(Service::GetTime, "");
  if (call.Injected()) return call.Return(*call.Injected());
  return call.Return(call.Env().Runtime().GetTime(time, capabilities));
}

EFI_STATUS EFIAPI SetTimeEntry(EFI_TIME *time) {
  ServiceScope call(Service::SetTime, "");
  if (call.Injected()) return call.Return(*call.Injected());
  return call.Return(call.Env().Runtime().SetTime(time));
}

EFI_STATUS EFIAPI ConvertPointerEntry(UINTN debugDisposition, VOID **address) {
  ServiceScope call(Service::ConvertPointer,
                    HexText(debugDisposition) + " " +
                        (address == nullptr ? std::string("NULL") : PointerText(*address)));
  if (call.Injected()) return call.Return(*call.Injected());
  return call.Return(call.Env().Runtime().ConvertPointer(debugDisposition, address));
}

EFI_STATUS EFIAPI GetNextHighMonotonicCountEntry(UINT32 *highCount) {
  ServiceScope call(Service::GetNextHighMonotonicCount, "");
  if (call.Injected()) return call.Return(*call.Injected());
  if (highCount == nullptr) return call.Return(EFI_INVALID_PARAMETER);
  *highCount = call.Env().NextHighMonotonicCount();
  return call.Return(EFI_SUCCESS);
}

VOID EFIAPI ResetSystemEntry(EFI_RESET_TYPE resetType, EFI_STATUS resetStatus, UINTN,
                             VOID *) {
  ServiceScope call(Service::ResetSystem, SizeText(resetType), Kind::Void);
  call.Env().Runtime().RequestReset(resetType, resetStatus);
  call.Return(EFI_SUCCESS);
}

}  // namespace

void FillRuntimeServices(EFI_RUNTIME_SERVICES &table) {
  table.GetTime = GetTimeEntry;
  table.SetTime = SetTimeEntry;
  table.GetWakeupTime = Unsupported<Service::GetWakeupTime, BOOLEAN *, BOOLEAN *, EFI_TIME *>;
  table.SetWakeupTime = Unsupported<Service::SetWakeupTime, BOOLEAN, EFI_TIME *>;
  table.SetVirtualAddressMap = Unsupported<Service::SetVirtualAddressMap, UINTN, UINTN, UINT32,
                                           EFI_MEMORY_DESCRIPTOR *>;
  table.ConvertPointer = ConvertPointerEntry;
  table.GetVariable =
      Unsupported<Service::GetVariable, CHAR16 *, EFI_GUID *, UINT32 *, UINTN *, VOID *>;
  table.GetNextVariableName =
      Unsupported<Service::GetNextVariableName, UINTN *, CHAR16 *, EFI_GUID *>;
  table.SetVariable =
      Unsupported<Service::SetVariable, CHAR16 *, EFI_GUID *, UINT32, UINTN, VOID *>;
  table.GetNextHighMonotonicCount = GetNextHighMonotonicCountEntry;
  table.ResetSystem = ResetSystemEntry;
  table.UpdateCapsule =
      Unsupported<Service::UpdateCapsule, VOID **, UINTN, EFI_PHYSICAL_ADDRESS>;
  table.QueryCapsuleCapabilities = Unsupported<Service::QueryCapsuleCapabilities, VOID **, UINTN,
                                               UINT64 *, EFI_RESET_TYPE *>;
  table.QueryVariableInfo =
      Unsupported<Service::QueryVariableInfo, UINT32, UINT64 *, UINT64 *, UINT64 *>;
}

}  // namespace sim
