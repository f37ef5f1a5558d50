// The EFIAPI entry points behind the boot and runtime service tables (internal to sim_uefi).
#pragma once

#include "sim/uefi/ServiceScope.h"
#include "uefi/UefiSystemTable.h"

namespace sim {

void FillBootServices(EFI_BOOT_SERVICES &table);
void FillRuntimeServices(EFI_RUNTIME_SERVICES &table);

// The entry of a service the simulation does not provide: logged, open to failure injection,
// otherwise Unsupported.
template <Service kService, typename... Args>
EFI_STATUS EFIAPI Unsupported(Args...) {
  ServiceScope call(kService, "not simulated");
  if (call.Injected()) return call.Return(*call.Injected());
  return call.Return(EFI_UNSUPPORTED);
}

}  // namespace sim
