// The EFIAPI entry points behind the boot and runtime service tables (internal to sim_uefi).
#pragma once

#include "uefi/UefiSystemTable.h"

namespace sim {

void FillBootServices(EFI_BOOT_SERVICES &table);
void FillRuntimeServices(EFI_RUNTIME_SERVICES &table);

}  // namespace sim
