// Start-up of PlatformServicesDxe and the shared data notification.
#include "ModuleState.h"
#include "PlatformServices.h"
#include "flash/FlashBinding.h"

namespace {

const EFI_GUID kBoardSupportGuid = BOARD_SUPPORT_PROTOCOL_GUID;
const EFI_GUID kSharedDataGuid = SHARED_DATA_PROTOCOL_GUID;
const EFI_GUID kPlatformServicesGuid = PLATFORM_SERVICES_PROTOCOL_GUID;

// An image whose entry point fails is unloaded, so nothing of it may stay reachable: the
// protocol is withdrawn, the event closed and both allocations returned.
EFI_STATUS AbandonStartup(EFI_HANDLE Handle, bool Installed, EFI_STATUS Result) {
  EFI_BOOT_SERVICES *Bs = DxeModule.BootServices;
  PLATFORM_SERVICES_PROTOCOL *Interface = DxeModule.Interface;
  if (DxeModule.SharedDataEvent != nullptr) {
    Bs->CloseEvent(DxeModule.SharedDataEvent);
    DxeModule.SharedDataEvent = nullptr;
  }
  if (Installed &&
      EFI_ERROR(Bs->UninstallProtocolInterface(Handle, &kPlatformServicesGuid, Interface))) {
    // Somebody holds the protocol open: its memory must outlive them.
    return Result;
  }
  Bs->FreePool(Interface->ServicesInfo);
  Bs->FreePool(Interface);
  DxeModule.Interface = nullptr;
  return Result;
}

}  // namespace

extern "C" EFI_STATUS EFIAPI PlatformServicesDxeEntry(EFI_HANDLE ImageHandle,
                                                      EFI_SYSTEM_TABLE *SystemTable) {
  DxeModule.SystemTable = SystemTable;
  DxeModule.BootServices = SystemTable->BootServices;
  DxeModule.RuntimeServices = SystemTable->RuntimeServices;
  EFI_BOOT_SERVICES *Bs = DxeModule.BootServices;

  EFI_STATUS Status =
      Bs->LocateProtocol(&kBoardSupportGuid, nullptr, (VOID **)&DxeModule.BoardSupport);
  if (EFI_ERROR(Status)) {
    DxeModule.BoardSupport = nullptr;
    return Status;
  }

  auto *Interface =
      (PLATFORM_SERVICES_PROTOCOL *)AllocateZeroedPool(sizeof(PLATFORM_SERVICES_PROTOCOL));
  DxeModule.Interface = Interface;
  if (Interface == nullptr) return EFI_OUT_OF_RESOURCES;

  auto *Info = (PLATFORM_SERVICES_INFO *)AllocateZeroedPool(sizeof(PLATFORM_SERVICES_INFO));
  if (Info == nullptr) {
    Bs->FreePool(Interface);
    DxeModule.Interface = nullptr;
    return EFI_OUT_OF_RESOURCES;
  }
  FillServicesInfo(Info);
  FillServicesInterface(Interface, Info);

  EFI_HANDLE Handle = ImageHandle;
  Status = Bs->InstallProtocolInterface(&Handle, &kPlatformServicesGuid, EFI_NATIVE_INTERFACE,
                                        Interface);
  if (EFI_ERROR(Status)) return AbandonStartup(Handle, false, Status);

  Status = Bs->CreateEvent(EVT_NOTIFY_SIGNAL, TPL_CALLBACK, SharedDataNotify, nullptr,
                           &DxeModule.SharedDataEvent);
  if (EFI_ERROR(Status)) {
    DxeModule.SharedDataEvent = nullptr;
    return AbandonStartup(Handle, true, EFI_ABORTED);
  }

  Status = Bs->RegisterProtocolNotify(&kSharedDataGuid, DxeModule.SharedDataEvent,
                                      &DxeModule.SharedDataRegistration);
  if (EFI_ERROR(Status)) return AbandonStartup(Handle, true, EFI_ABORTED);
  BindFlashPlatformServices();
  return Status;
}

VOID EFIAPI SharedDataNotify(EFI_EVENT, VOID *) {
  VOID *Located = nullptr;
  EFI_STATUS Status = DxeModule.BootServices->LocateProtocol(&kSharedDataGuid, nullptr, &Located);
  // A presence-only instance (null interface) carries no base to publish.
  if (EFI_ERROR(Status) || Located == nullptr) return;

  PLATFORM_SERVICES_INFO *Info = DxeModule.Interface->ServicesInfo;
  UINT64 SharedBase = ((const SHARED_DATA_PROTOCOL *)Located)->SharedBase;
  Info->SharedBase = SharedBase;
  Info->SharedItemAddress = SharedBase + PlatformOffsetTable[PLATFORM_SERVICES_SHARED_ITEM_ENTRY];
}
