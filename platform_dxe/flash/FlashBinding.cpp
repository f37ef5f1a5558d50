#include "FlashBinding.h"

#include "../../uefi/BootScriptSave.h"
#include "../../uefi/DxeServicesTable.h"
#include "../ModuleState.h"

namespace {

const EFI_GUID kDxeServicesTableGuid = EFI_DXE_SERVICES_TABLE_GUID;
const EFI_GUID kBootScriptSaveGuid = EFI_BOOT_SCRIPT_SAVE_PROTOCOL_GUID;

VOID *FindConfigurationTable(const EFI_SYSTEM_TABLE *SystemTable, const EFI_GUID &Guid) {
  if (SystemTable->ConfigurationTable == nullptr) return nullptr;
  for (UINTN i = 0; i < SystemTable->NumberOfTableEntries; ++i) {
    const EFI_CONFIGURATION_TABLE &Entry = SystemTable->ConfigurationTable[i];
    if (GuidsEqual(Entry.VendorGuid, Guid)) return Entry.VendorTable;
  }
  return nullptr;
}

}  // namespace

void BindFlashPlatformServices() {
  FlashModuleState &Flash = DxeModule.Flash;
  Flash.DxeServices = FindConfigurationTable(DxeModule.SystemTable, kDxeServicesTableGuid);

  VOID *Located = nullptr;
  EFI_STATUS Status = DxeModule.BootServices->LocateProtocol(
      (EFI_GUID *)&kBootScriptSaveGuid, nullptr, &Located);
  Flash.BootScriptSave = EFI_ERROR(Status) ? nullptr : Located;
}
